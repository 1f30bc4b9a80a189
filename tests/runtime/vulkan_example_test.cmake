# Runs examples/vulkan on a sample surface (its image a 32-bit TGA) and
# checks that it wrote a PNG of the size asked for.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${IMAGE} ${WORK}/poster.tga)
file(READ ${SURFACE} text)
string(REPLACE "poster.png" "poster.tga" text "${text}")
file(WRITE ${WORK}/poster.skimbler "${text}")
execute_process(COMMAND ${EXAMPLE} ${WORK}/poster.skimbler ${WORK}/poster.png 160x120 RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "skimbler_vulkan_example failed: ${result}")
endif()
file(READ ${WORK}/poster.png header LIMIT 24 HEX)
# The signature, then IHDR's width and height.
if(NOT header STREQUAL "89504e470d0a1a0a0000000d49484452000000a000000078")
    message(FATAL_ERROR "not a 160 x 120 PNG: ${header}")
endif()
