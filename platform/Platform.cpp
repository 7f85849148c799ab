// Default, real implementations of the platform stand-ins and their replaceable instances.
#include "platform/DialogFrame.h"
#include "platform/Display.h"
#include "platform/InstanceSlot.h"
#include "platform/KeyTracker.h"
#include "platform/KeyState.h"
#include "platform/LibraryLoader.h"
#include "platform/MessagePresenter.h"
#include "platform/StatusSink.h"
#include "platform/StringTable.h"
#include "platform/SystemInfo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLibrary>
#include <QMessageBox>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace platform {

// ---- library loader -------------------------------------------------------------------

namespace {

// "XELLAN.DLL" names the library on the system the texts come from; here it is a shared
// object whose base name matches without regard to case ("libXelLan.so", "XelLan.so").
QString FindLibraryFile(const QString& fileName)
{
    QString base = QFileInfo(fileName).completeBaseName();
    if (QFileInfo(fileName).suffix().compare("dll", Qt::CaseInsensitive) != 0)
        base = QFileInfo(fileName).fileName();
    // Only the program's own folder: a library planted in the working folder must never load.
    QStringList dirs;
    if (QCoreApplication::instance())
        dirs << QCoreApplication::applicationDirPath();
    for (const QString& dirPath : dirs) {
        QDir dir(dirPath);
        const QStringList entries = dir.entryList(QDir::Files);
        for (const QString& entry : entries) {
            const QString e = entry.toLower();
            const QString b = base.toLower();
            if (e == b + ".so" || e == "lib" + b + ".so" || e == b + ".dll" || e == b)
                return dir.filePath(entry);
        }
    }
    return {};
}

// One loaded string-table library, shared by every handle to the same file. The texts are
// read from the library's own array when asked for, so a load allocates nothing per text
// and the program's and the document's loads cost one open between them.
struct LoadedTable {
    std::unique_ptr<QLibrary> lib;
    const QuarnoStringEntry* entries = nullptr;
    unsigned count = 0;
    bool sorted = true; // ids ascending: looked up by halving
    int users = 0;

    const char* Find(quint16 id) const
    {
        if (!entries)
            return nullptr;
        if (sorted) {
            const QuarnoStringEntry* end = entries + count;
            const QuarnoStringEntry* at = std::lower_bound(
                entries, end, id, [](const QuarnoStringEntry& e, quint16 v) { return e.id < v; });
            return at != end && at->id == id ? at->text : nullptr;
        }
        for (unsigned i = 0; i < count; ++i)
            if (entries[i].id == id)
                return entries[i].text;
        return nullptr;
    }
};

class RealLibraryLoader : public LibraryLoader {
public:
    quintptr Load(const QString& fileName) override
    {
        const QString path = FindLibraryFile(fileName);
        if (path.isEmpty())
            return 0;
        auto shared = m_tables.find(path);
        if (shared == m_tables.end()) {
            auto table = std::make_unique<LoadedTable>();
            table->lib = std::make_unique<QLibrary>(path);
            if (!table->lib->load())
                return 0;
            auto entries = reinterpret_cast<const QuarnoStringEntry*>(table->lib->resolve(QUARNO_STRING_TABLE_SYMBOL));
            auto count = reinterpret_cast<const unsigned*>(table->lib->resolve(QUARNO_STRING_COUNT_SYMBOL));
            if (entries && count) {
                table->entries = entries;
                table->count = *count;
                for (unsigned i = 1; i < table->count && table->sorted; ++i)
                    table->sorted = entries[i - 1].id < entries[i].id;
            }
            shared = m_tables.emplace(path, std::move(table)).first;
        }
        ++shared->second->users;
        const quintptr handle = ++m_next;
        m_handles.emplace(handle, path);
        return handle;
    }

    void Free(quintptr handle) override
    {
        auto it = m_handles.find(handle);
        if (it == m_handles.end())
            return;
        auto table = m_tables.find(it->second);
        m_handles.erase(it);
        if (table == m_tables.end() || --table->second->users > 0)
            return;
        table->second->lib->unload();
        m_tables.erase(table);
    }

    std::optional<QString> String(quintptr handle, quint16 id) override
    {
        auto it = m_handles.find(handle);
        if (it == m_handles.end())
            return std::nullopt;
        auto table = m_tables.find(it->second);
        if (table == m_tables.end())
            return std::nullopt;
        const char* text = table->second->Find(id);
        if (!text)
            return std::nullopt;
        return QString::fromUtf8(text);
    }

private:
    quintptr m_next = 0;
    std::map<quintptr, QString> m_handles;
    std::map<QString, std::unique_ptr<LoadedTable>> m_tables;
};

// ---- message boxes --------------------------------------------------------------------

class RealMessagePresenter : public MessagePresenter {
public:
    int Show(const QString& text, int style, const QString& caption) override
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return MsgResult::OK;
        QMessageBox box;
        SetSmallDialogFrame(&box);
        box.setWindowTitle(caption);
        // The texts carry file and user names: a name that looks like markup stays a name.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        switch (style & 0xF0) {
        case MsgStyle::Critical: box.setIcon(QMessageBox::Critical); break;
        case MsgStyle::Question: box.setIcon(QMessageBox::Question); break;
        case MsgStyle::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgStyle::Information: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        struct B { QMessageBox::StandardButton qt; int result; };
        std::vector<B> buttons;
        switch (style & 0x0F) {
        case MsgStyle::OKCancel: buttons = {{QMessageBox::Ok, MsgResult::OK}, {QMessageBox::Cancel, MsgResult::Cancel}}; break;
        case MsgStyle::AbortRetryIgnore: buttons = {{QMessageBox::Abort, MsgResult::Abort}, {QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Ignore, MsgResult::Ignore}}; break;
        case MsgStyle::YesNoCancel: buttons = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}, {QMessageBox::Cancel, MsgResult::Cancel}}; break;
        case MsgStyle::YesNo: buttons = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}}; break;
        case MsgStyle::RetryCancel: buttons = {{QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Cancel, MsgResult::Cancel}}; break;
        default: buttons = {{QMessageBox::Ok, MsgResult::OK}}; break;
        }
        // Closing the box counts as its cancel button, or the only button.
        auto closed = [&buttons] {
            for (const B& b : buttons)
                if (b.result == MsgResult::Cancel || b.result == MsgResult::No)
                    return b.result;
            return buttons.front().result;
        };
        if (Display::Unwatched())
            return closed();
        QMessageBox::StandardButtons all;
        for (const B& b : buttons)
            all |= b.qt;
        box.setStandardButtons(all);
        const std::size_t def = std::size_t((style >> 8) & 0x3);
        if (def < buttons.size())
            box.setDefaultButton(buttons[def].qt);
        const auto pressed = QMessageBox::StandardButton(box.exec());
        for (const B& b : buttons)
            if (b.qt == pressed)
                return b.result;
        return closed();
    }
};

class NullStatusSink : public StatusSink {
public:
    void StopRestoreTimer(int) override {}
    void SetStatusText(const QString&) override {}
    QString StatusText() override { return QString(); }
};

// ---- system information ---------------------------------------------------------------

} // namespace

QString AccountName(quint32 uid)
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? std::size_t(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    while (::getpwuid_r(uid_t(uid), &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    const QString name = found && found->pw_name ? QString::fromLocal8Bit(found->pw_name) : QString();
    return name.trimmed().isEmpty() ? QString::number(uid) : name;
}

namespace {

class RealSystemInfo : public SystemInfo {
public:
    // Under cron, a service or "env -i" neither variable is set: the account itself names the
    // user then, so no file or unit is ever stamped with an empty name.
    QString UserName() override
    {
        for (const char* variable : {"USER", "USERNAME"}) {
            const QString name = qEnvironmentVariable(variable);
            if (!name.trimmed().isEmpty())
                return name;
        }
        return AccountName(quint32(::geteuid()));
    }
    QString ComputerName() override { return QSysInfo::machineHostName(); }
    QDateTime Now() override { return QDateTime::currentDateTime(); }
    QDateTime NowUtc() override { return QDateTime::currentDateTimeUtc(); }
    quint32 TickCount() override
    {
        static QElapsedTimer timer = [] { QElapsedTimer t; t.start(); return t; }();
        return quint32(timer.elapsed());
    }
};

class RealKeyState : public KeyState {
public:
    bool IsDown(Key key) override
    {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return false;
        const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
        switch (key) {
        case Shift: return mods.testFlag(Qt::ShiftModifier);
        case Control: return mods.testFlag(Qt::ControlModifier);
        case Alt: return mods.testFlag(Qt::AltModifier);
        }
        return false;
    }
    // Letter chords come from the tracker the program installs at start-up.
    bool IsCharDown(char ch) override { return KeyTracker::IsCharDown(ch); }
};

InstanceSlot<LibraryLoader, RealLibraryLoader> g_library;
InstanceSlot<MessagePresenter, RealMessagePresenter> g_presenter;
InstanceSlot<StatusSink, NullStatusSink> g_status;
InstanceSlot<SystemInfo, RealSystemInfo> g_system;
InstanceSlot<KeyState, RealKeyState> g_keys;

} // namespace

LibraryLoader::~LibraryLoader() = default;
LibraryLoader& LibraryLoader::Instance() { return g_library.get(); }
void LibraryLoader::SetInstance(LibraryLoader* loader) { g_library.current = loader; }

MessagePresenter::~MessagePresenter() = default;
void MessagePresenter::Beep() { QApplication::beep(); }
MessagePresenter& MessagePresenter::Instance() { return g_presenter.get(); }
void MessagePresenter::SetInstance(MessagePresenter* presenter) { g_presenter.current = presenter; }

StatusSink::~StatusSink() = default;
StatusSink& StatusSink::Instance() { return g_status.get(); }
void StatusSink::SetInstance(StatusSink* sink) { g_status.current = sink; }

SystemInfo::~SystemInfo() = default;
SystemInfo& SystemInfo::Instance() { return g_system.get(); }
void SystemInfo::SetInstance(SystemInfo* info) { g_system.current = info; }

KeyState::~KeyState() = default;
KeyState& KeyState::Instance() { return g_keys.get(); }
void KeyState::SetInstance(KeyState* state) { g_keys.current = state; }

} // namespace platform
