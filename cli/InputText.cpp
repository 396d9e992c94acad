#include "InputText.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "Encoding.h"
#include "Ssml.h"
#include "System.h"

namespace {

// Lines end in CR LF, as the engine reads them from files, so that each line
// break ends a sentence chunk.
std::string WithCrLfLineEnds(const std::string& text) {
    std::string out;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
        if (text[k] == '\n') out += '\r';
        out += text[k];
    }
    return out;
}

// The engine takes C strings: a NUL byte would end the text there. It
// becomes a blank, as between two words.
std::string WithBlanksForNuls(std::string text) {
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

std::string JoinedWords(const std::vector<std::string>& words) {
    std::string text;
    for (size_t k = 0; k < words.size(); ++k) text += (k ? " " : "") + words[k];
    return text;
}

}  // namespace

std::optional<std::string> ReadInput(const Options& options) {
    std::string text;
    bool convert = true;
    if (options.inputFile) {
        std::optional<std::string> file = ReadWholeFile(*options.inputFile);
        if (!file) return std::nullopt;
        text = *file;
        convert = !options.cp1252Input;
    } else if (!options.words.empty()) {
        text = JoinedWords(options.words);
    } else {
        text = ReadStandardInput();
    }
    text = WithBlanksForNuls(std::move(text));
    if (options.ssml)
        text = SsmlToText(convert ? text : Cp1252ToUtf8(text));
    else if (convert)
        text = Utf8ToCp1252(text);
    return WithCrLfLineEnds(text);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}
