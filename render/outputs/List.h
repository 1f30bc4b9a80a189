// Every output, one line each, in the order dialogs and --help list them.
// A new one: a file beside this one defining `const Outputs::Output Name`
// (see Gles3Listing.cpp for a listing, Gltf.cpp for a file), and its line here.
SKIMBLER_OUTPUT(PngImage)
SKIMBLER_OUTPUT(GltfText)
SKIMBLER_OUTPUT(GltfBinary)
SKIMBLER_OUTPUT(Gl11Listing)
SKIMBLER_OUTPUT(Gl33Listing)
SKIMBLER_OUTPUT(Gles3Listing)
SKIMBLER_OUTPUT(WebGl2Listing)
SKIMBLER_OUTPUT(VulkanListing)
SKIMBLER_OUTPUT(InfoReport)
