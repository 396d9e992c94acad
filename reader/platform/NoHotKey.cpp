// Where the reader has no way to hear a key pressed in other programs.
#include "GlobalHotKey.h"

namespace {

class NoHotKey final : public GlobalHotKey {
public:
    using GlobalHotKey::GlobalHotKey;
    bool Register(int, int) override { return false; }
    void Unregister() override {}
};

}  // namespace

std::unique_ptr<GlobalHotKey> DesktopHotKey(QObject* parent) { return std::make_unique<NoHotKey>(parent); }
