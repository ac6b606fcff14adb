#include "tools/zorstudio/Translation.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "tools/common/Wording.h"
#include "zorkit/platform/core/Gbk.h"

namespace zorstudio {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr const char* kDomain = "zorstudio";

struct Catalogue {
    std::string language;
    std::map<std::string, std::string> messages;
};

Catalogue& Current()
{
    static Catalogue catalogue;
    return catalogue;
}

// Where the catalogues are: beside the build, else where they are installed.
std::vector<std::filesystem::path> LocaleDirectories()
{
    return {ZORSTUDIO_BUILD_LOCALEDIR, ZORSTUDIO_INSTALLED_LOCALEDIR};
}

// zh_CN.UTF-8@variant, then zh_CN, then zh.
std::vector<std::string> Candidates(const std::string& name)
{
    std::vector<std::string> names;
    if (name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0)
        return names;
    names.push_back(name);
    const std::string bare = name.substr(0, name.find_first_of(".@"));
    if (bare != name)
        names.push_back(bare);
    if (const std::size_t underscore = bare.find('_'); underscore != std::string::npos)
        names.push_back(bare.substr(0, underscore));
    return names;
}

// The languages asked for, in the order the environment gives them.
std::vector<std::string> AskedLanguages()
{
    std::vector<std::string> asked;
    if (const char* list = std::getenv("LANGUAGE"); list && list[0]) {
        std::string rest = list;
        for (std::size_t start = 0; start <= rest.size();) {
            const std::size_t colon = std::min(rest.find(':', start), rest.size());
            for (std::string& name : Candidates(rest.substr(start, colon - start)))
                asked.push_back(std::move(name));
            start = colon + 1;
        }
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(variable); value && value[0]) {
            for (std::string& name : Candidates(value))
                asked.push_back(std::move(name));
            break;
        }
    return asked;
}

// The catalogue's text for a template, for zorstudio's own texts and the shared code's.
std::string Translated(const char* english)
{
    const auto& messages = Current().messages;
    const auto found = messages.find(english);
    return found == messages.end() ? std::string(english) : found->second;
}

// The catalogue in use from now on, for zorstudio's texts and the shared code's messages.
void Use(Catalogue catalogue)
{
    Current() = std::move(catalogue);
    tools::SetWording(&Translated);
}

}

std::optional<std::map<std::string, std::string>> ReadCatalogue(const std::filesystem::path& mo)
{
    std::ifstream in(mo, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto word = [&data](std::size_t at) -> std::optional<std::uint32_t> {
        if (at + 4 > data.size())
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | std::uint8_t(data[at + std::size_t(i)]);
        return value;
    };
    auto text = [&](std::size_t entry) -> std::optional<std::string> {
        const auto length = word(entry), offset = word(entry + 4);
        if (!length || !offset || std::size_t(*offset) + *length > data.size())
            return std::nullopt;
        // A plural entry holds its forms apart by NULs; the first serves.
        const std::string whole = data.substr(*offset, *length);
        return whole.substr(0, whole.find('\0'));
    };
    if (word(0) != kMagic)
        return std::nullopt;
    const auto count = word(8), originals = word(12), translations = word(16);
    if (!count || !originals || !translations)
        return std::nullopt;
    std::map<std::string, std::string> messages;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto english = text(*originals + 8 * std::size_t(i));
        const auto translated = text(*translations + 8 * std::size_t(i));
        if (!english || !translated)
            return std::nullopt;
        // The empty text is the catalogue's header, not a message.
        if (!english->empty() && !translated->empty())
            messages[*english] = *translated;
    }
    return messages;
}

bool LoadTranslation(const std::filesystem::path& localeDir, const std::string& language)
{
    auto messages = ReadCatalogue(localeDir / language / "LC_MESSAGES" / (std::string(kDomain) + ".mo"));
    if (!messages)
        return false;
    Use({language, std::move(*messages)});
    return true;
}

bool LoadTranslation()
{
    for (const std::string& language : AskedLanguages())
        for (const std::filesystem::path& directory : LocaleDirectories())
            if (LoadTranslation(directory, language))
                return true;
    Use({});
    return false;
}

const std::string& TranslationLanguage() { return Current().language; }

std::string Tr(const char* english, std::initializer_list<std::string> arguments)
{
    return tools::FillArguments(Translated(english), arguments);
}

std::string TrGbk(const char* english, std::initializer_list<std::string> arguments)
{
    return zorkit::GbkFromUtf8(Tr(english, arguments));
}

}
