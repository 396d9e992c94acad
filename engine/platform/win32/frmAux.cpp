// TFVAUX on Windows: a hidden message-only window of that class. The
// wave-out device posts MM_WOM_DONE to it, and its window procedure calls
// WaveCallback, so every continuation runs on the thread that plays, while
// that thread dispatches its messages.
//
// The window is made before the first playback, not when the library loads:
// windows may not be created while the loader holds its lock. It needs no
// display, so it also exists where there is no desktop (a service, Wine
// without X).
#include "voice/frmAux.h"

#include <cstdint>

#include "AuxWindow.h"
#include "falavoz32.h"

namespace {

constexpr char kClassName[] = "TFVAUX";

HWND window = nullptr;
// Completions posted (counted, so that a wait sees its own) and not yet taken.
unsigned posted = 0;
bool pending = false;

LRESULT CALLBACK AuxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_WOM_DONE) {
        PostWaveDone();
        WaveCallback(0, 0, 0, MM_WOM_DONE, static_cast<uint32_t>(lParam));
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&AuxWindowProc), &module);
    return module;
}

HWND CreateAuxWindow() {
    WNDCLASSA form = {};
    form.lpfnWndProc = AuxWindowProc;
    form.hInstance = ThisModule();
    form.lpszClassName = kClassName;
    if (!RegisterClassA(&form) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    return CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, form.hInstance, nullptr);
}

// Dispatches one message, waiting for one when there is none. A quit is
// kept for the host's own loop, which posts it again after the wait.
void DispatchOneMessage(bool& quitSeen, WPARAM& exitCode) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        return;
    }
    if (message.message == WM_QUIT) {
        quitSeen = true;
        exitCode = message.wParam;
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

}  // namespace

HWND AuxWindow() {
    if (!window) window = CreateAuxWindow();
    return window;
}

bool AuxFormReady() { return AuxWindow() != nullptr; }

int AuxNotificationFd() { return -1; }

void PostWaveDone() {
    ++posted;
    pending = true;
}

bool TakeWaveDone() {
    const bool taken = pending;
    pending = false;
    return taken;
}

// The completion reaches the window procedure, which hands it to
// WaveCallback; this only waits for it to have come.
void WaitForWaveDone() {
    const unsigned before = posted;
    bool quitSeen = false;
    WPARAM exitCode = 0;
    while (posted == before) DispatchOneMessage(quitSeen, exitCode);
    if (quitSeen) PostQuitMessage(static_cast<int>(exitCode));
    TakeWaveDone();
}

// The window does the descriptor's job here.
extern "C" int32_t FV_CALL TTS_GetNotificationFd(void) { return AuxNotificationFd(); }
