#include "tools/common/CProgramBuild.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tools/common/Numbers.h"
#include "tools/common/ShellText.h"

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

// Runs `command` with both output streams appended to `output`; true on exit status 0.
bool Run(const std::string& command, const std::filesystem::path& log, std::string& output)
{
    const std::string line = command + " >" + ShellQuoted(log.string()) + " 2>&1 </dev/null";
    const bool ok = std::system(line.c_str()) == 0;
    output += ReadWholeFile(log);
    return ok;
}

}

bool CCProject::Apply(const std::string& key, const std::string& value)
{
    auto address = [&](unsigned& into) {
        auto parsed = tools::ParseHex(value, 0xFFFF);
        if (!parsed) {
            error = key + " takes a hexadecimal address 0..FFFF, not " + value;
            return false;
        }
        into = unsigned(*parsed);
        return true;
    };
    auto yesNo = [&](bool& into, const char* yes, const char* no) {
        if (value != yes && value != no) {
            error = key + " takes " + yes + " or " + no + ", not " + value;
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
            error = "model takes small, medium or large, not " + value;
            return false;
        }
        model = value;
        return true;
    }
    error = "unknown setting " + key;
    return false;
}

bool CCProject::Load(const std::filesystem::path& path)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read the project " + path.string();
        return false;
    }
    name = path.stem().string();
    const std::filesystem::path folder = path.parent_path();
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string key, value, extra;
        if (!(words >> key))
            continue;
        if (!(words >> value) || (words >> extra)) {
            error = path.string() + ":" + std::to_string(number) + ": a line is KEY VALUE";
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
        error = path.string() + ": lists no source";
        return false;
    }
    return true;
}

CCProject CCProject::OfSource(const std::filesystem::path& source)
{
    CCProject project;
    project.name = source.stem().string();
    project.sources.push_back(source);
    return project;
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

CCBuildResult BuildCProgram(const CCProject& project, const std::filesystem::path& directory)
{
    CCBuildResult result;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    const std::filesystem::path out = std::filesystem::absolute(directory);
    // The locals of overlaid functions are missing from sdcc's debug records, so a
    // debug build keeps every function's locals apart.
    std::string flags = "-mmcs51 --model-" + project.model + " --debug --nooverlay";
    if (project.stackAuto)
        flags += " --stack-auto";
    std::vector<std::string> objects;
    const std::filesystem::path log = out / "build.out";
    for (const std::filesystem::path& source : project.sources) {
        const std::filesystem::path object = out / (source.stem().string() + ".rel");
        std::filesystem::remove(object, error);
        std::string command;
        if (source.extension() == ".c")
            command = "sdcc " + flags + " -c " + ShellQuoted(source.string()) + " -o " + ShellQuoted(object.string());
        else
            command = "sdas8051 -plosgffwy " + ShellQuoted(object.string()) + " " + ShellQuoted(source.string());
        if (!Run(command, log, result.output) || !std::filesystem::exists(object)) {
            result.messages = ParseBuildMessages(result.output);
            if (result.messages.empty())
                result.messages.push_back({source.string(), 0, "cannot build: " + result.output});
            return result;
        }
        objects.push_back(object.string());
    }
    result.hexPath = out / (project.name + ".ihx");
    result.cdbPath = out / (project.name + ".cdb");
    std::filesystem::remove(result.hexPath, error);
    std::string link = "sdcc " + flags + " --code-loc " + Hex(project.codeLocation) + " --xram-loc " +
                       Hex(project.xramLocation) + " -o " + ShellQuoted(result.hexPath.string());
    for (const std::string& object : objects)
        link += " " + ShellQuoted(object);
    const bool linked = Run(link, log, result.output);
    result.messages = ParseBuildMessages(result.output);
    if (!linked || !std::filesystem::exists(result.hexPath)) {
        if (result.messages.empty())
            result.messages.push_back({"", 0, "sdcc could not link: " + result.output});
        return result;
    }
    CIntelHex hex;
    if (!hex.LoadFile(result.hexPath.string())) {
        result.messages.push_back({"", 0, hex.GetError()});
        return result;
    }
    result.runs = hex.GetRuns();
    std::vector<CIntelHex::Run> stubs;
    // sdcc puts the interrupt vectors at the code location; a board whose code memory
    // starts at 0000 needs the 8051's own vectors to lead there.
    if (project.lowVectors && project.codeLocation >= 0x0100) {
        const std::string cdb = ReadWholeFile(result.cdbPath);
        static const std::regex handler(R"(^F:[^(]*\(.*\),C,\d+,-?\d+,1,(\d+),\d+\s*$)");
        std::istringstream in(cdb);
        for (std::string line; std::getline(in, line);) {
            std::smatch m;
            if (!std::regex_match(line, m, handler))
                continue;
            const unsigned vector = 3 + 8 * unsigned(std::atoi(m[1].str().c_str()));
            const unsigned target = project.codeLocation + vector;
            if (vector + 3 <= project.codeLocation)
                stubs.push_back({vector, {0x02, std::uint8_t(target >> 8), std::uint8_t(target)}});
        }
    }
    // The jumps go into the .ihx too, so whatever downloads it gets them.
    if (!stubs.empty()) {
        std::string text = ReadWholeFile(result.hexPath);
        std::size_t end = text.find(":00000001FF");
        std::string records;
        for (const CIntelHex::Run& stub : stubs)
            records += HexRecord(stub);
        text.insert(end == std::string::npos ? text.size() : end, records);
        std::ofstream(result.hexPath, std::ios::binary) << text;
        result.runs.insert(result.runs.begin(), stubs.begin(), stubs.end());
    }
    result.ok = true;
    return result;
}
