#include "platform/Clipboard.h"
#include "platform/InstanceSlot.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

namespace {

class QtClipboard : public Clipboard {
public:
    void SetText(const QString& text) override
    {
        // No clipboard without a running application: the copy is simply not made.
        if (QClipboard* clipboard = QGuiApplication::clipboard()) {
            clipboard->clear();
            clipboard->setText(text);
        }
    }
};

InstanceSlot<Clipboard, QtClipboard> g_clipboard;

} // namespace

Clipboard::~Clipboard() = default;
Clipboard& Clipboard::Instance() { return g_clipboard.get(); }
void Clipboard::SetInstance(Clipboard* clipboard) { g_clipboard.current = clipboard; }

} // namespace platform
