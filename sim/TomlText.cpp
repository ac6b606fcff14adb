#include "sim/TomlText.h"

namespace zorkit::sim {

std::optional<toml::table> ParseToml(const std::string& text, std::string& error)
{
    // Debian's toml++ is built with exceptions; a syntax error ends here.
    try {
        return toml::parse(std::string_view(text));
    } catch (const toml::parse_error& failure) {
        error = std::to_string(failure.source().begin.line) + ": " + std::string(failure.description());
        return std::nullopt;
    }
}

}
