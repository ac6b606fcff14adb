// The words of the messages the tools' shared code gives. Each message is written as
// an English template with {1}, {2}... for its arguments and goes through one lookup:
// by default the template stands as written, so that the command-line tools keep
// printing their English; a program that speaks the user's language installs its
// catalogue's lookup once at start.
//
//   return Say("cannot write {1}: it is a directory", {path});
//   tools::SetWording(&CatalogueLookup);   // in the program's start-up
#pragma once

#include <initializer_list>
#include <string>

namespace tools {

// The template in the language in use, its {N} marks still in it.
using Wording = std::string (*)(const char* english);

// Installs the lookup every Say goes through; nullptr brings back the English.
void SetWording(Wording wording);

// The template looked up and its {1}, {2}... replaced by the arguments.
std::string Say(const char* english, std::initializer_list<std::string> arguments = {});

// {N} replaced by the Nth argument in one pass, so that an argument's own braces are
// left alone; a mark without an argument stays as it is.
std::string FillArguments(const std::string& text, std::initializer_list<std::string> arguments);

}
