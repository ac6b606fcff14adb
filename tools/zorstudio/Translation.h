// zorstudio's texts in the student's language. The texts are written in English in
// the code and looked up in the catalogue that msgfmt compiled from po/LANG.po; the
// language is the first of LANGUAGE (a colon-separated list), LC_ALL, LC_MESSAGES and
// LANG that has a catalogue, tried as given and without its codeset and territory
// (zh_CN.UTF-8, zh_CN, zh). Without one, the English texts stand. The lookup reads
// the catalogue itself, so that a language works without its locale being generated.
// The catalogue loaded also words the messages of the tools' shared code (Say), so
// that a parser's or the C debugger's message comes in the same language.
//
//   LoadTranslation();
//   button.SetWindowText(TrGbk("Build").c_str());
//   Tell(Tr("stopped at {1}", {Hex(pc, 4)}));
#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>

namespace zorstudio {

// Marks a text in a table for the catalogue; it is translated where it is shown.
constexpr const char* N_(const char* english) { return english; }

// The catalogue for the language the environment asks for; false when English stands.
bool LoadTranslation();
// The catalogue of one language from a directory of LANG/LC_MESSAGES/zorstudio.mo.
bool LoadTranslation(const std::filesystem::path& localeDir, const std::string& language);
// The language whose catalogue is in use; empty for English.
const std::string& TranslationLanguage();

// The text in the language in use, UTF-8, with {1}, {2}... replaced by the arguments.
std::string Tr(const char* english, std::initializer_list<std::string> arguments = {});
// The same in GBK, for the windows.
std::string TrGbk(const char* english, std::initializer_list<std::string> arguments = {});

// Every message of a compiled catalogue, by its English text; nothing when the file
// is not one.
std::optional<std::map<std::string, std::string>> ReadCatalogue(const std::filesystem::path& mo);

}
