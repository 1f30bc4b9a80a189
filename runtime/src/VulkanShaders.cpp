#include "skimbler/VulkanShaders.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace skimbler {

namespace {

bool StartsWith(const std::string &text, const char *prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::string Trimmed(const std::string &line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// "out vec4 v_colour;" -> "v_colour"
std::string DeclaredName(const std::string &declaration)
{
    const std::size_t end = declaration.find(';');
    const std::size_t start = declaration.rfind(' ', end) + 1;
    return declaration.substr(start, end - start);
}

bool IsSampler(const std::string &uniform)
{
    return uniform.find("sampler") != std::string::npos;
}

struct Stage
{
    std::vector<std::string> lines;
    bool vertex = false;
};

// The plain uniforms of every stage, in order: the members of the block.
std::vector<std::string> PushConstantMembers(const std::vector<Stage> &stages)
{
    std::vector<std::string> members;
    for (const Stage &stage : stages) {
        int skipped = 0;
        for (const std::string &raw : stage.lines) {
            const std::string line = Trimmed(raw);
            if (skipped) {
                skipped += StartsWith(line, "#if") ? 1 : StartsWith(line, "#endif") ? -1 : 0;
                continue;
            }
            if (line == "#ifdef SKIMBLER_BORDER_IN_SHADER")
                skipped = 1;
            else if (StartsWith(line, "uniform ") && !IsSampler(line))
                members.push_back(line.substr(8));
        }
    }
    return members;
}

std::string Rewrite(const Stage &stage, const std::vector<std::string> &members,
                    std::map<std::string, int> &outputs)
{
    std::string result;
    int skipped = 0;  // depth inside the in-shader border
    bool blockWritten = false;
    int binding = 0, nextOutput = 0;
    for (const std::string &raw : stage.lines) {
        const std::string line = Trimmed(raw);
        if (skipped) {
            skipped += StartsWith(line, "#if") ? 1 : StartsWith(line, "#endif") ? -1 : 0;
            result += raw + '\n';
            continue;
        }
        if (StartsWith(line, "#version")) {
            result += "#version 450\n";
        } else if (line == "#ifdef SKIMBLER_BORDER_IN_SHADER") {
            skipped = 1;
            result += raw + '\n';
        } else if (StartsWith(line, "uniform ") && IsSampler(line)) {
            result += "layout(set = 0, binding = " + std::to_string(binding++) + ") " + line + '\n';
        } else if (StartsWith(line, "uniform ")) {
            if (!blockWritten) {
                result += "layout(push_constant) uniform SurfacePushConstants\n{\n";
                for (const std::string &member : members)
                    result += "    " + member + '\n';
                result += "};\n";
                blockWritten = true;
            }
        } else if (stage.vertex && StartsWith(line, "out ")) {
            outputs[DeclaredName(line)] = nextOutput;
            result += "layout(location = " + std::to_string(nextOutput++) + ") " + line + '\n';
        } else if (!stage.vertex && StartsWith(line, "in ")) {
            const auto found = outputs.find(DeclaredName(line));
            const int location = found == outputs.end() ? -1 : found->second;
            result += "layout(location = " + std::to_string(location) + ") " + line + '\n';
        } else {
            result += raw + '\n';
        }
    }
    return result;
}

} // namespace

ShaderSources VulkanShaderSources()
{
    // Desktop GLSL, whose border is the sampler's as it is in Vulkan.
    const ShaderSources gl = RuntimeShaderSources(ShaderApi::OpenGL33);
    const std::vector<Stage> stages{{Lines(gl.Vertex), true}, {Lines(gl.Fragment), false}};
    const std::vector<std::string> members = PushConstantMembers(stages);
    std::map<std::string, int> outputs;
    ShaderSources vulkan;
    vulkan.Vertex = Rewrite(stages[0], members, outputs);
    vulkan.Fragment = Rewrite(stages[1], members, outputs);
    return vulkan;
}

} // namespace skimbler
