// The later start reaches the first window through a hidden message window
// of the first, found by its name: a message the first answers by coming to
// the front. The later start, which the user just started, hands over its
// right to take the foreground first.
#include <windows.h>

#include <QDeadlineTimer>
#include <QThread>
#include <functional>

#include "ui/main/single_window.h"
#include "ui/main/single_window_channel.h"

namespace qm {

namespace {

constexpr int kAnswerWaitMs = 2000;
constexpr int kRetryMs = 50;
constexpr UINT kComeToFront = WM_APP + 1;
constexpr LRESULT kShown = 1;
constexpr const wchar_t* kWindowClass = L"QuillmakerSingleWindow";

LRESULT CALLBACK ListenerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kComeToFront) {
        auto* bringToFront =
            reinterpret_cast<std::function<void()>*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (bringToFront == nullptr) return 0;
        (*bringToFront)();
        return kShown;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

QString SingleWindowChannelName(const std::string& programDirCp932) {
    // Windows are found only on the user's own desktop.
    return QStringLiteral("quillmaker-%1").arg(FolderDigest(programDirCp932));
}

class SingleWindow::Listener {
  public:
    explicit Listener(std::function<void()> bringToFront)
        : bringToFront_(std::move(bringToFront)) {}
    ~Listener() {
        if (window_ != nullptr) ::DestroyWindow(window_);
    }

    bool Listen(const QString& name) {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ListenerProcedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        // A second registration in the same process fails harmlessly.
        ::RegisterClassExW(&windowClass);
        window_ = ::CreateWindowExW(0, kWindowClass, name.toStdWString().c_str(), 0, 0, 0, 0, 0,
                                    HWND_MESSAGE, nullptr, instance, nullptr);
        if (window_ == nullptr) return false;
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bringToFront_));
        return true;
    }

  private:
    std::function<void()> bringToFront_;
    HWND window_ = nullptr;
};

void SingleWindow::ListenerEnd::operator()(Listener* listener) const { delete listener; }

bool SingleWindow::BringFirstToFront() {
    const std::wstring name = channelName_.toStdWString();
    // The first window may have taken the lock a moment ago and not listen yet.
    QDeadlineTimer deadline(kAnswerWaitMs);
    HWND first = nullptr;
    while ((first = ::FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, name.c_str())) ==
               nullptr &&
           !deadline.hasExpired()) {
        QThread::msleep(kRetryMs);
    }
    if (first == nullptr) return false;
    DWORD process = 0;
    ::GetWindowThreadProcessId(first, &process);
    ::AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(first, kComeToFront, 0, 0, SMTO_ABORTIFHUNG, kAnswerWaitMs,
                                 &answer) != 0 &&
           answer == static_cast<DWORD_PTR>(kShown);
}

void SingleWindow::ServeRequests(QWidget& window) {
    if (!lock_) return;
    listener_.reset(new Listener([&window] { BringToFront(window); }));
    if (!listener_->Listen(channelName_)) listener_.reset();
}

}  // namespace qm
