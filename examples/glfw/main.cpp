// Shows a surface file in a GLFW window through skimbler-runtime.
//
//     skimbler_glfw_example picture.skimbler
//
// The image the file names is read with stb_image; the runtime draws it with
// the editor's filters, blending, colours, corners and perspective-correct
// texture. Escape quits, P turns perspective-correct texture on and off.

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <skimbler/SurfaceRenderer.h>

#include <cstdio>
#include <string>

namespace {

bool g_flipPerspective = false;

void OnKey(GLFWwindow *window, int key, int, int action, int)
{
    if (action != GLFW_PRESS)
        return;
    if (key == GLFW_KEY_ESCAPE)
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    if (key == GLFW_KEY_P)
        g_flipPerspective = true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s file.skimbler\n", argv[0]);
        return 2;
    }
    if (!glfwInit())
        return 1;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    GLFWwindow *window = glfwCreateWindow(800, 600, "Skimbler runtime", nullptr, nullptr);
    if (!window) {
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    glfwSetKeyCallback(window, OnKey);

    // The two calls of our own; everything else is the runtime's.
    using ClearColorFunction = void (*)(float, float, float, float);
    using ClearFunction = void (*)(unsigned);
    using ViewportFunction = void (*)(int, int, int, int);
    const auto clearColor = reinterpret_cast<ClearColorFunction>(glfwGetProcAddress("glClearColor"));
    const auto clear = reinterpret_cast<ClearFunction>(glfwGetProcAddress("glClear"));
    const auto viewport = reinterpret_cast<ViewportFunction>(glfwGetProcAddress("glViewport"));

    skimbler::SurfaceRenderer renderer;
    std::string error;
    int status = 1;
    if (!renderer.Init(glfwGetProcAddress, skimbler::ShaderApi::OpenGL33, &error)
        || !renderer.Open(argv[1], &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    } else {
        // Row 0 of a texture is v = 0, the bottom of the picture.
        stbi_set_flip_vertically_on_load(1);
        int width = 0, height = 0, components = 0;
        stbi_uc *pixels = stbi_load(renderer.ImagePath().c_str(), &width, &height, &components, 4);
        if (!pixels) {
            std::fprintf(stderr, "%s: %s\n", renderer.ImagePath().c_str(), stbi_failure_reason());
        } else if (!renderer.UploadRgba(pixels, std::uint32_t(width), std::uint32_t(height), &error)) {
            std::fprintf(stderr, "%s: %s\n", renderer.ImagePath().c_str(), error.c_str());
        } else {
            status = 0;
        }
        stbi_image_free(pixels);
    }

    while (status == 0 && !glfwWindowShouldClose(window)) {
        skimbler::View view;
        glfwGetFramebufferSize(window, &view.Width, &view.Height);
        viewport(0, 0, view.Width, view.Height);
        clearColor(0.25f, 0.25f, 0.25f, 1.0f);
        clear(0x4000 /* GL_COLOR_BUFFER_BIT */);
        if (g_flipPerspective) {
            skimbler::SurfaceSettings settings = renderer.Settings();
            settings.PerspectiveCorrect = settings.PerspectiveCorrect ? 0u : 1u;
            renderer.SetSettings(settings);
            g_flipPerspective = false;
        }
        renderer.Draw(view);
        glfwSwapBuffers(window);
        glfwWaitEvents();
    }
    renderer.Release();
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}
