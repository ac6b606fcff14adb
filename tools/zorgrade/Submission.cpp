#include "tools/zorgrade/Submission.h"

#include <algorithm>
#include <set>

#include "tools/common/CProgramBuild.h"
#include "tools/common/ScratchDirectory.h"

namespace zorgrade {

namespace fs = std::filesystem;

namespace {

const std::set<std::string> kProgramFiles{".asm", ".c", ".hex", ".ihx", ".zpj"};

bool IsProgramFile(const fs::path& path)
{
    return fs::is_regular_file(path) && kProgramFiles.count(path.extension().string());
}

std::vector<fs::path> SortedEntries(const fs::path& folder)
{
    std::vector<fs::path> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Files of a program folder with one of the extensions.
std::vector<fs::path> FilesOf(const fs::path& folder, std::initializer_list<const char*> extensions)
{
    std::vector<fs::path> files;
    for (const fs::path& entry : SortedEntries(folder))
        for (const char* extension : extensions)
            if (fs::is_regular_file(entry) && entry.extension() == extension)
                files.push_back(entry);
    return files;
}

// A folder named on the command line is one program when it has a project file, a C
// source or a single program file; otherwise it is a class, whose folders are programs
// of any number of sources.
bool IsOneProgram(const fs::path& folder)
{
    const std::vector<fs::path> entries = SortedEntries(folder);
    std::size_t files = std::count_if(entries.begin(), entries.end(), IsProgramFile);
    bool project = std::any_of(entries.begin(), entries.end(), [](const fs::path& entry) {
        return IsProgramFile(entry) && (entry.extension() == ".zpj" || entry.extension() == ".c");
    });
    return project || files == 1;
}

// The tools' output without the scratch folder's name, which changes from run to run.
std::string WithoutScratch(std::string output, const tools::CScratchDirectory& scratch)
{
    const std::string folder = scratch.Path().string() + "/";
    for (std::size_t at; (at = output.find(folder)) != std::string::npos;)
        output.erase(at, folder.size());
    return output;
}

CBuiltProgram Failed(std::string why)
{
    CBuiltProgram built;
    built.output = std::move(why);
    return built;
}

CBuiltProgram LoadHex(const fs::path& file)
{
    CIntelHex hex;
    if (!hex.LoadFile(file.string()))
        return Failed(hex.GetError());
    CBuiltProgram built;
    built.runs = hex.GetRuns();
    for (const CIntelHex::Run& run : built.runs)
        if (run.address + run.bytes.size() > 0x10000)
            return Failed(file.filename().string() + ": the program goes past the end of code memory (FFFF)");
    built.ok = true;
    return built;
}

// C, assembly and projects go through the builder zorstudio uses.
CBuiltProgram Build(const CProgramProject& project)
{
    const tools::CScratchDirectory scratch("zorgrade-");
    CProgramBuildResult result = BuildProgram(project, scratch.Path());
    CBuiltProgram built;
    built.ok = result.ok;
    built.runs = result.hex.GetRuns();
    built.output = WithoutScratch(result.output, scratch);
    return built;
}

}

std::vector<CSubmission> FindSubmissions(const std::vector<std::string>& paths, std::string& error)
{
    std::vector<CSubmission> found;
    for (const std::string& text : paths) {
        const fs::path path(text);
        std::error_code failed;
        if (!fs::exists(path, failed)) {
            error = text + ": no such file or folder";
            return {};
        }
        if (fs::is_regular_file(path)) {
            if (!IsProgramFile(path)) {
                error = text + ": a submission is a .asm, .c, .hex, .ihx or .zpj file, or a folder";
                return {};
            }
            found.push_back({path.stem().string(), path});
        } else if (IsOneProgram(path)) {
            fs::path folder = fs::absolute(path).lexically_normal();
            if (folder.filename().empty())
                folder = folder.parent_path();
            found.push_back({folder.filename().string(), path});
        } else {
            // A class: every student's file or folder.
            for (const fs::path& entry : SortedEntries(path))
                if (fs::is_directory(entry) || IsProgramFile(entry))
                    found.push_back(
                        {fs::is_directory(entry) ? entry.filename().string() : entry.stem().string(), entry});
        }
    }
    if (found.empty())
        error = "no submission found in " + (paths.empty() ? std::string("nothing") : paths.front());
    return found;
}

CBuiltProgram BuildSubmission(const CSubmission& submission, std::uint16_t start)
{
    const fs::path& path = submission.path;
    std::vector<fs::path> sources;
    if (fs::is_regular_file(path)) {
        sources.push_back(path);
    } else {
        std::vector<fs::path> projects = FilesOf(path, {".zpj"});
        if (projects.size() > 1)
            return Failed(path.string() + ": more than one project file (.zpj)");
        sources = projects.empty() ? FilesOf(path, {".c", ".asm"}) : projects;
        if (sources.empty())
            sources = FilesOf(path, {".hex", ".ihx"});
        if (sources.empty())
            return Failed(path.string() + ": no .asm, .c, .hex, .ihx or .zpj file in it");
    }
    const std::string first = sources.front().extension().string();
    if (first == ".zpj") {
        CProgramProject project;
        if (!project.Load(sources.front()))
            return Failed(project.error);
        return Build(project);
    }
    if (first == ".hex" || first == ".ihx") {
        if (sources.size() > 1)
            return Failed(path.string() + ": more than one program file (.hex, .ihx)");
        return LoadHex(sources.front());
    }
    CProgramProject project;
    project.name = submission.name;
    project.sources = sources;
    project.codeLocation = start;
    return Build(project);
}

}
