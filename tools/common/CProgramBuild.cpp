#include "tools/common/CProgramBuild.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tools/common/Numbers.h"
#include "tools/common/ShellText.h"
#include "tools/common/Wording.h"

namespace {

using tools::ReadWholeFile;
using tools::ShellQuoted;

std::string Hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// ":03000B00020100F0" and a line end.
std::string HexRecord(const CIntelHex::Run& run)
{
    unsigned sum = unsigned(run.bytes.size()) + (run.address >> 8) + (run.address & 0xFF);
    char text[16];
    std::snprintf(text, sizeof text, ":%02X%04X00", unsigned(run.bytes.size()), unsigned(run.address));
    std::string record = text;
    for (std::uint8_t byte : run.bytes) {
        std::snprintf(text, sizeof text, "%02X", byte);
        record += text;
        sum += byte;
    }
    std::snprintf(text, sizeof text, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return record + text;
}

// One spelling of a file's path, for comparing the paths of lines.
std::filesystem::path SamePath(const std::filesystem::path& path)
{
    return std::filesystem::absolute(path).lexically_normal();
}

// Runs `command` with both output streams appended to `output`; true on exit status 0.
bool Run(const std::string& command, const std::filesystem::path& log, std::string& output)
{
    const std::string line = command + " >" + ShellQuoted(log.string()) + " 2>&1 </dev/null";
    const bool ok = std::system(line.c_str()) == 0;
    output += ReadWholeFile(log);
    return ok;
}

}

bool CProgramProject::Apply(const std::string& key, const std::string& value)
{
    auto address = [&](unsigned& into) {
        auto parsed = tools::ParseHex(value, 0xFFFF);
        if (!parsed) {
            error = tools::Say("{1} takes a hexadecimal address 0..FFFF, not {2}", {key, value});
            return false;
        }
        into = unsigned(*parsed);
        return true;
    };
    auto yesNo = [&](bool& into, const char* yes, const char* no) {
        if (value != yes && value != no) {
            error = tools::Say("{1} takes {2} or {3}, not {4}", {key, yes, no, value});
            return false;
        }
        into = value == yes;
        return true;
    };
    if (key == "source") {
        sources.push_back(value);
        return true;
    }
    if (key == "code-loc")
        return address(codeLocation);
    if (key == "xram-loc")
        return address(xramLocation);
    if (key == "stack-auto")
        return yesNo(stackAuto, "yes", "no");
    if (key == "vectors")
        return yesNo(lowVectors, "low", "none");
    if (key == "name") {
        name = value;
        return true;
    }
    if (key == "model") {
        if (value != "small" && value != "medium" && value != "large") {
            error = tools::Say("model takes small, medium or large, not {1}", {value});
            return false;
        }
        model = value;
        return true;
    }
    error = tools::Say("unknown setting {1}", {key});
    return false;
}

bool CProgramProject::Load(const std::filesystem::path& path)
{
    std::ifstream in(path);
    if (!in) {
        error = tools::Say("cannot read the project {1}", {path.string()});
        return false;
    }
    name = path.stem().string();
    const std::filesystem::path folder = path.parent_path();
    includeDirectories.push_back(folder.empty() ? "." : folder);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string key, value, extra;
        if (!(words >> key))
            continue;
        if (!(words >> value) || (words >> extra)) {
            error = path.string() + ":" + std::to_string(number) + ": " + tools::Say("a line is KEY VALUE");
            return false;
        }
        if (!Apply(key, value)) {
            error = path.string() + ":" + std::to_string(number) + ": " + error;
            return false;
        }
        if (key == "source")
            sources.back() = folder / sources.back();
    }
    if (sources.empty()) {
        error = path.string() + ": " + tools::Say("lists no source");
        return false;
    }
    return true;
}

CProgramProject CProgramProject::OfSource(const std::filesystem::path& source)
{
    CProgramProject project;
    project.name = source.stem().string();
    project.sources.push_back(source);
    project.includeDirectories.push_back(source.parent_path().empty() ? "." : source.parent_path());
    return project;
}

bool CProgramProject::Open(const std::filesystem::path& path)
{
    if (path.extension() == kProjectExtension)
        return Load(path);
    if (path.extension() != ".c" && path.extension() != ".asm") {
        error = path.string() + ": " + tools::Say("a program is a .c or .asm source or a {1} project", {kProjectExtension});
        return false;
    }
    *this = OfSource(path);
    return true;
}

bool CProgramProject::IsAssemblyOnly() const
{
    return std::none_of(sources.begin(), sources.end(),
                        [](const std::filesystem::path& source) { return source.extension() == ".c"; });
}

std::optional<std::uint16_t> CProgramBuildResult::AddressOfLine(const std::filesystem::path& file, int line) const
{
    const std::filesystem::path wanted = SamePath(file);
    for (const CSourceLine& entry : lines)
        if (entry.line == line && entry.file == wanted)
            return entry.address;
    return std::nullopt;
}

const CSourceLine* CProgramBuildResult::LineAt(std::uint16_t address) const
{
    // The line whose code starts nearest below the address and reaches it.
    const CSourceLine* found = nullptr;
    int nearest = 0x10000;
    for (const CSourceLine& entry : lines) {
        const int distance = int(address) - int(entry.address);
        if (distance >= 0 && distance < nearest) {
            nearest = distance;
            found = &entry;
        }
    }
    // An instruction or data run of one line is a few bytes; farther away is no line's.
    constexpr int kLongestLine = 16;
    return nearest < kLongestLine ? found : nullptr;
}

std::size_t CProgramBuildResult::CodeBytes() const
{
    std::size_t bytes = 0;
    for (const CIntelHex::Run& run : hex.GetRuns())
        bytes += run.bytes.size();
    return bytes;
}

std::vector<CBuildMessage> ParseBuildMessages(const std::string& output)
{
    static const std::regex located(R"(^(.+?):(\d+): (.*)$)");
    std::vector<CBuildMessage> messages;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::smatch m;
        if (std::regex_match(line, m, located))
            messages.push_back({m[1], std::atoi(m[2].str().c_str()), m[3]});
        else if (line.rfind("?ASlink-", 0) == 0 || line.rfind("?ASxxxx-", 0) == 0)
            messages.push_back({"", 0, line.substr(1)});
    }
    return messages;
}


std::vector<CListingAddress> ParseListingAddresses(const std::string& listing)
{
    // "      000100 78 30            [12]    3 start:	mov r0,#0x30": address, code
    // bytes, cycles, source line. Lines without code bytes produce nothing.
    // The line number stands apart from the bytes; a run of data continued on the
    // next listing line has bytes and no number.
    static const std::regex coded(R"(^\s+([0-9A-Fa-f]{4,8})((?: [0-9A-Fa-f]{2})+)\s{2,}(?:\[\s*\d+\]\s+)?(\d+)\s)");
    std::vector<CListingAddress> lines;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, coded))
            lines.push_back({std::atoi(m[3].str().c_str()), std::uint16_t(std::stoul(m[1].str(), nullptr, 16))});
    }
    return lines;
}

namespace {

std::string IncludeFlags(const CProgramProject& project)
{
    std::string flags;
    for (const std::filesystem::path& folder : project.includeDirectories)
        flags += " -I" + ShellQuoted(SamePath(folder).string());
    return flags;
}

// The 8051's vectors lead to the interrupt handlers sdcc put at the code location.
std::vector<CIntelHex::Run> VectorJumps(const CProgramProject& project, const std::filesystem::path& cdbPath)
{
    std::vector<CIntelHex::Run> stubs;
    if (!project.lowVectors || project.codeLocation < 0x0100)
        return stubs;
    static const std::regex handler(R"(^F:[^(]*\(.*\),C,\d+,-?\d+,1,(\d+),\d+\s*$)");
    std::istringstream in(ReadWholeFile(cdbPath));
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, handler))
            continue;
        const unsigned vector = 3 + 8 * unsigned(std::atoi(m[1].str().c_str()));
        const unsigned target = project.codeLocation + vector;
        if (vector + 3 <= project.codeLocation)
            stubs.push_back({vector, {0x02, std::uint8_t(target >> 8), std::uint8_t(target)}});
    }
    return stubs;
}

// Links the objects; false with the messages set.
bool Link(const CProgramProject& project, const std::vector<std::string>& objects, const std::string& flags,
          const std::filesystem::path& log, CProgramBuildResult& result)
{
    std::string command;
    if (project.IsAssemblyOnly())
        command = "sdld -n -u -i " + ShellQuoted(result.hexPath.string());
    else
        command = "sdcc " + flags + " --code-loc " + Hex(project.codeLocation) + " --xram-loc " +
                  Hex(project.xramLocation) + " -o " + ShellQuoted(result.hexPath.string());
    for (const std::string& object : objects)
        command += " " + ShellQuoted(object);
    const bool linked = Run(command, log, result.output);
    result.messages = ParseBuildMessages(result.output);
    // sdld reports undefined symbols and still writes the file.
    const bool complained = std::any_of(result.messages.begin(), result.messages.end(),
                                        [](const CBuildMessage& m) { return m.line == 0; });
    if (linked && !complained && std::filesystem::exists(result.hexPath))
        return true;
    if (result.messages.empty())
        result.messages.push_back({"", 0, tools::Say("the program could not be linked: {1}", {result.output})});
    return false;
}

}

CProgramBuildResult BuildProgram(const CProgramProject& project, const std::filesystem::path& directory)
{
    CProgramBuildResult result;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    const std::filesystem::path out = SamePath(directory);
    const bool assemblyOnly = project.IsAssemblyOnly();
    // The locals of overlaid functions are missing from sdcc's debug records, so a
    // debug build keeps every function's locals apart.
    std::string flags = "-mmcs51 --model-" + project.model + " --debug --nooverlay";
    if (project.stackAuto)
        flags += " --stack-auto";
    const std::string includes = IncludeFlags(project);
    std::vector<std::string> objects;
    const std::filesystem::path log = out / "build.out";
    for (const std::filesystem::path& source : project.sources)
        result.sources.push_back(SamePath(source));
    result.hexPath = out / (project.name + ".ihx");
    for (const char* extension : {".ihx", ".cdb", ".map"})
        std::filesystem::remove(out / (project.name + extension), error);
    for (const std::filesystem::path& source : project.sources) {
        const std::string stem = source.stem().string();
        for (const char* extension : {".rel", ".lst", ".rst"})
            std::filesystem::remove(out / (stem + extension), error);
        const std::filesystem::path object = out / (stem + ".rel");
        std::string command;
        if (source.extension() == ".c")
            command = "sdcc " + flags + includes + " -c " + ShellQuoted(source.string()) + " -o " + ShellQuoted(object.string());
        else if (assemblyOnly && project.sources.size() == 1)
            command = "sdas8051 -plosff" + includes + " " + ShellQuoted(object.string()) + " " + ShellQuoted(source.string());
        else
            // Other modules (or C code) use names this one does not define itself.
            command = "sdas8051 -plosgffwy" + includes + " " + ShellQuoted(object.string()) + " " + ShellQuoted(source.string());
        if (!Run(command, log, result.output) || !std::filesystem::exists(object)) {
            result.hexPath.clear();
            result.messages = ParseBuildMessages(result.output);
            if (result.messages.empty())
                result.messages.push_back({source.string(), 0, tools::Say("cannot build: {1}", {result.output})});
            return result;
        }
        objects.push_back(object.string());
    }
    if (!Link(project, objects, flags, log, result)) {
        result.hexPath.clear();
        return result;
    }
    if (!assemblyOnly)
        result.cdbPath = out / (project.name + ".cdb");
    // The jumps go into the .ihx too, so whatever downloads it gets them.
    if (const auto stubs = VectorJumps(project, result.cdbPath); !stubs.empty()) {
        std::string text = ReadWholeFile(result.hexPath);
        std::size_t end = text.find(":00000001FF");
        std::string records;
        for (const CIntelHex::Run& stub : stubs)
            records += HexRecord(stub);
        text.insert(end == std::string::npos ? text.size() : end, records);
        std::ofstream(result.hexPath, std::ios::binary) << text;
    }
    if (!result.hex.LoadFile(result.hexPath.string())) {
        result.messages.push_back({"", 0, result.hex.GetError()});
        return result;
    }
    if (result.hex.GetRuns().empty()) {
        result.messages.push_back({"", 0, tools::Say("the program holds no code")});
        return result;
    }
    result.entry = assemblyOnly ? std::uint16_t(result.hex.GetRuns().front().address) : std::uint16_t(project.codeLocation);
    for (const std::filesystem::path& source : project.sources) {
        if (source.extension() == ".c")
            continue;
        const std::filesystem::path file = SamePath(source);
        for (const CListingAddress& line : ParseListingAddresses(ReadWholeFile(out / (source.stem().string() + ".rst"))))
            result.lines.push_back({file, line.line, line.address});
    }
    result.ok = true;
    return result;
}
