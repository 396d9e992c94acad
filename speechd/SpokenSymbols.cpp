#include "SpokenSymbols.h"

#include <map>

#include "Encoding.h"
#include "Ssml.h"

namespace {

// speech-dispatcher's names of keys that are not characters, in Portuguese.
const std::map<std::string, std::string> kKeyWords = {{"space", "espaço"},
                                                      {"underscore", "sublinhado"},
                                                      {"double-quote", "aspas"},
                                                      {"alt", "alt"},
                                                      {"control", "control"},
                                                      {"hyper", "hyper"},
                                                      {"meta", "meta"},
                                                      {"shift", "shift"},
                                                      {"super", "super"},
                                                      {"backspace", "apagar"},
                                                      {"break", "break"},
                                                      {"delete", "delete"},
                                                      {"down", "seta para baixo"},
                                                      {"end", "end"},
                                                      {"enter", "enter"},
                                                      {"escape", "esc"},
                                                      {"home", "home"},
                                                      {"insert", "insert"},
                                                      {"left", "seta à esquerda"},
                                                      {"menu", "menu"},
                                                      {"next", "page down"},
                                                      {"page-down", "page down"},
                                                      {"page-up", "page up"},
                                                      {"pause", "pause"},
                                                      {"prior", "page up"},
                                                      {"print", "print screen"},
                                                      {"right", "seta à direita"},
                                                      {"scroll-lock", "scroll lock"},
                                                      {"tab", "tab"},
                                                      {"up", "seta para cima"},
                                                      {"window", "tecla windows"},
                                                      {"kp-enter", "enter numérico"},
                                                      {"kp-add", "mais numérico"},
                                                      {"kp-subtract", "menos numérico"},
                                                      {"kp-multiply", "vezes numérico"},
                                                      {"kp-divide", "dividido numérico"},
                                                      {"kp-delete", "delete numérico"},
                                                      {"kp-insert", "insert numérico"},
                                                      {"num-lock", "num lock"},
                                                      {"caps-lock", "caps lock"}};

// One character in UTF-8: one byte, or a lead byte and its continuations.
bool IsOneCharacter(const std::string& name) {
    if (name.size() == 1) return true;
    if (name.empty() || static_cast<unsigned char>(name[0]) < 0xC0) return false;
    for (size_t k = 1; k < name.size(); ++k)
        if ((static_cast<unsigned char>(name[k]) & 0xC0) != 0x80) return false;
    return true;
}

}  // namespace

std::string SpokenCharacter(const std::string& character) {
    if (character == " " || character == "space") return PlainTextForEngine("espaço");
    return SpelledOut(Utf8ToCp1252(character));
}

// A key with modifiers comes as its names joined by "_" ("control_alt_a");
// "_" alone is the underscore.
std::string SpokenKey(const std::string& key) {
    std::string spoken;
    size_t start = 0;
    do {
        size_t end = key.size() > 1 ? key.find('_', start + 1) : std::string::npos;
        if (end == std::string::npos) end = key.size();
        const std::string name = key.substr(start, end - start);
        auto word = kKeyWords.find(name);
        const std::string piece = word != kKeyWords.end() ? PlainTextForEngine(word->second)
                                  : IsOneCharacter(name)  ? SpokenCharacter(name)
                                                          : PlainTextForEngine(name);
        spoken += (spoken.empty() ? "" : " ") + piece;
        start = end + 1;
    } while (start < key.size());
    return spoken;
}
