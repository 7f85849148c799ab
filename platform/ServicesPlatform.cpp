// Real shell, dialogs, file attributes, locale, port list and program location.
#include "platform/Display.h"
#include "platform/FileAttributes.h"
#include "platform/FileDialogs.h"
#include "platform/HandOver.h"
#include "platform/InstanceSlot.h"
#include "platform/Locale.h"
#include "platform/PortList.h"
#include "platform/SerialPort.h"
#include "platform/ProgramLocation.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

bool HasGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// A dialog nobody can see would wait for ever: it counts as cancelled.
bool CanAsk() { return HasGui() && !Display::Unwatched(); }

// ---- shell ----------------------------------------------------------------------------

// The help window closes on Escape, as the program's other windows do.
class HelpWindow : public QTextBrowser {
protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QTextBrowser::keyPressEvent(event);
    }
};

// xdg-open fails at once where nothing takes the address; a browser it runs in the
// foreground keeps it running, and has shown itself by then.
constexpr int kOpenerMomentMs = 2000;

class RealShell : public Shell {
public:
    bool OpenDocument(const QString& address) override
    {
        if (address.trimmed().isEmpty() || !HasGui())
            return false;
        const QUrl url = QUrl::fromUserInput(address.trimmed());
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        // Qt counts an address handed to xdg-open as opened, even where no program takes it
        // (no browser, no display): xdg-open's own early answer tells.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (!opener.isEmpty())
            return HandOver(opener, {QFile::encodeName(url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded))},
                            kOpenerMomentMs);
#endif
        return QDesktopServices::openUrl(url);
    }

    bool ShowHelpIndex(QWidget* owner, const QString& helpFile) override
    {
        return ShowHelpTopic(owner, helpFile, 0);
    }

    bool ShowHelpTopic(QWidget* owner, const QString& helpFile, int context) override
    {
        const QString path = FindHelp(helpFile);
        if (path.isEmpty())
            return false;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        // The program's help is a small HTML text, shown in one window of its own.
        if (!m_help) {
            m_help = new HelpWindow;
            m_help->setAttribute(Qt::WA_DeleteOnClose);
            m_help->setWindowTitle(QStringLiteral("Quarno Q2 Help"));
            m_help->setOpenExternalLinks(true);
            m_help->resize(640, 520);
        }
        Q_UNUSED(owner);
        m_help->setHtml(QString::fromUtf8(file.readAll()));
        if (context > 0)
            m_help->scrollToAnchor(QStringLiteral("topic%1").arg(context));
        m_help->show();
        m_help->raise();
        return true;
    }

    QString FindHelp(const QString& helpFile)
    {
        if (!HasGui())
            return QString();
        QString path = helpFile;
        if (QFileInfo(path).isRelative()) {
            // A bare name: the program's folder, then the current folder.
            const QStringList dirs{QCoreApplication::applicationDirPath(), QDir::currentPath()};
            path.clear();
            for (const QString& dir : dirs) {
                const QString candidate = QDir(dir).filePath(helpFile);
                if (QFileInfo::exists(candidate)) {
                    path = candidate;
                    break;
                }
            }
        }
        if (path.isEmpty() || !QFileInfo::exists(path))
            return QString();
        return path;
    }

    QPointer<QTextBrowser> m_help;
};

// ---- dialogs --------------------------------------------------------------------------

} // namespace

// "Desc|*.a;*.b|All|*.*" -> "Desc (*.a *.b);;All (*.*)". A description that already shows
// its patterns in brackets ("Quarno Files (*.qrn)") loses them: the dialog takes the
// patterns from the last brackets, which must be the real ones, shown once.
QStringList QtFileFilters(const QString& filter)
{
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts.at(i);
        description.remove(shownPatterns);
        out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out;
}

QString WithDefaultSuffix(const QString& typed, const QString& defaultSuffix)
{
    if (defaultSuffix.isEmpty() || typed.isEmpty())
        return typed;
    const qsizetype cut = qMax(typed.lastIndexOf(QLatin1Char('/')), typed.lastIndexOf(QLatin1Char('\\')));
    const QString name = typed.mid(cut + 1);
    if (name.isEmpty() || name.contains(QLatin1Char('.')))
        return typed;
    return typed + QLatin1Char('.') + defaultSuffix;
}

namespace {

// Qt's file dialog writes the typed or chosen name into its own boxes (the replace question,
// "File not found", the delete questions), which would show a name such as "<h1>x.QRN" as
// markup. Each box it opens shows its text as text; buttons and default stay Qt's.
class BoxesShowText : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildPolished)
            if (auto* box = qobject_cast<QMessageBox*>(static_cast<QChildEvent*>(event)->child()))
                box->setTextFormat(Qt::PlainText);
        return QObject::eventFilter(watched, event);
    }
};

class RealFileDialogs : public FileDialogs {
public:
    QString BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder) override
    {
        if (!CanAsk())
            return QString();
        return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(owner, title, startFolder));
    }

    bool ShowOpen(QWidget* owner, FileDialogRequest& request) override { return Run(owner, request, false); }
    bool ShowSave(QWidget* owner, FileDialogRequest& request) override { return Run(owner, request, true); }

private:
    static bool Run(QWidget* owner, FileDialogRequest& request, bool save)
    {
        if (!CanAsk())
            return false;
        QFileDialog dialog(owner, request.title);
        BoxesShowText boxes;
        dialog.installEventFilter(&boxes);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (save && !(request.flags & FileDialogRequest::OverwritePrompt))
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (save && !request.defaultSuffix.isEmpty()) {
            // Qt's own dialog adds the suffix before it asks about overwriting; a desktop's
            // dialog would ask about the typed name and leave the suffix to afterwards.
            dialog.setDefaultSuffix(request.defaultSuffix);
            dialog.setOption(QFileDialog::DontUseNativeDialog);
        }
        const QStringList filters = QtFileFilters(request.filter);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const int index = request.filterIndex - 1;
            if (index >= 0 && index < filters.size())
                dialog.selectNameFilter(filters.at(index));
        }
        // With no folder to start in, the dialog opens in the user's home folder, never in
        // the folder the program happens to run in.
        dialog.setDirectory(request.initialFolder.isEmpty() ? QDir::homePath() : request.initialFolder);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        request.fileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
        request.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
        if (request.filterIndex < 1)
            request.filterIndex = 1;
        return true;
    }
};

// ---- file attributes ------------------------------------------------------------------

constexpr QFileDevice::Permissions kWriteBits =
    QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther;

class RealFileAttributes : public FileAttributes {
public:
    bool Exists(const QString& path) override
    {
        const QFileInfo info(path);
        return !path.isEmpty() && info.exists() && info.isFile();
    }

    bool IsReadOnly(const QString& path) override
    {
        if (!Exists(path))
            return false;
#ifdef Q_OS_WIN
        const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()));
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
#else
        return !(QFile::permissions(path) & QFileDevice::WriteOwner);
#endif
    }

    bool SetReadOnly(const QString& path, bool readOnly) override
    {
        if (!Exists(path))
            return false;
#ifdef Q_OS_WIN
        const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()));
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        const DWORD changed = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
        return SetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()), changed) != 0;
#else
        QFileDevice::Permissions permissions = QFile::permissions(path);
        if (readOnly)
            permissions &= ~kWriteBits;
        else
            permissions |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
        return QFile::setPermissions(path, permissions);
#endif
    }

    bool TryOpenExclusive(const QString& path) override
    {
        if (!Exists(path))
            return false;
#ifdef Q_OS_WIN
        HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(handle);
        return true;
#else
        const QByteArray name = QFile::encodeName(path);
        const int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (locked)
            ::flock(fd, LOCK_UN);
        ::close(fd);
        return locked;
#endif
    }
};

// ---- locale ---------------------------------------------------------------------------

// The first character of a date or time format that is neither a field letter nor a quote.
QString FirstSeparator(const QString& format, const QString& fallback)
{
    for (QChar ch : format) {
        if (!ch.isLetter() && ch != QLatin1Char('\'') && !ch.isSpace())
            return QString(ch);
    }
    return fallback;
}

class RealLocale : public Locale {
public:
    QString DateSeparator() override
    {
        return FirstSeparator(QLocale::system().dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
    }
    QString TimeSeparator() override
    {
        return FirstSeparator(QLocale::system().timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
    }
};

// ---- serial ports ---------------------------------------------------------------------

// A port pointed at a pseudo-terminal (the simulated unit) is there while its device is.
bool IsLivePseudoTerminal(const QString& device)
{
    return device.startsWith(QStringLiteral("/dev/pts/")) && QFileInfo::exists(device);
}

class RealPortList : public PortList {
public:
    bool PortExists(int portNumber) override
    {
        const QString device = SerialDevicePath(portNumber);
        if (device.isEmpty())
            return false;
        QSerialPort port;
        port.setPortName(device);
        const bool opened = port.open(QIODevice::ReadWrite);
        if (opened)
            port.close();
        return opened;
    }

    QList<int> PresentPorts() override
    {
        // Compared as the devices they name, so a port set to a link (/dev/serial/by-id/...)
        // is found as the line it points at.
        QStringList listed;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            listed << QFileInfo(info.systemLocation()).canonicalFilePath();
        QList<int> numbers;
        for (int n = 1; n <= 32; ++n) {
            const QString device = SerialDevicePath(n);
            if (device.isEmpty())
                continue;
            const QString real = QFileInfo(device).canonicalFilePath();
            if ((!real.isEmpty() && listed.contains(real)) || IsLivePseudoTerminal(real))
                numbers << n;
        }
        return numbers;
    }

    QString Description(int portNumber) override
    {
        const QString real = QFileInfo(SerialDevicePath(portNumber)).canonicalFilePath();
        if (real.isEmpty())
            return {};
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            if (QFileInfo(info.systemLocation()).canonicalFilePath() != real)
                continue;
            QStringList parts;
            for (const QString& part : {info.manufacturer(), info.description()}) {
                if (!part.trimmed().isEmpty() && !parts.contains(part.trimmed()))
                    parts << part.trimmed();
            }
            return parts.join(QLatin1Char(' '));
        }
        return {};
    }
};

// ---- program location -----------------------------------------------------------------

class RealProgramLocation : public ProgramLocation {
public:
    QString Folder() override
    {
        if (!QCoreApplication::instance())
            return QDir::toNativeSeparators(QDir::currentPath());
        return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    }
    QString FileName() override
    {
        if (!QCoreApplication::instance())
            return QString();
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    }
};

InstanceSlot<Shell, RealShell> g_shell;
InstanceSlot<FileDialogs, RealFileDialogs> g_dialogs;
InstanceSlot<FileAttributes, RealFileAttributes> g_attributes;
InstanceSlot<Locale, RealLocale> g_locale;
InstanceSlot<PortList, RealPortList> g_ports;
InstanceSlot<ProgramLocation, RealProgramLocation> g_location;

} // namespace

Shell::~Shell() = default;
Shell& Shell::Instance() { return g_shell.get(); }
void Shell::SetInstance(Shell* shell) { g_shell.current = shell; }

FileDialogs::~FileDialogs() = default;
FileDialogs& FileDialogs::Instance() { return g_dialogs.get(); }
void FileDialogs::SetInstance(FileDialogs* dialogs) { g_dialogs.current = dialogs; }

FileAttributes::~FileAttributes() = default;
FileAttributes& FileAttributes::Instance() { return g_attributes.get(); }
void FileAttributes::SetInstance(FileAttributes* attributes) { g_attributes.current = attributes; }

Locale::~Locale() = default;
Locale& Locale::Instance() { return g_locale.get(); }
void Locale::SetInstance(Locale* locale) { g_locale.current = locale; }

PortList::~PortList() = default;

QList<int> PortList::PresentPorts()
{
    QList<int> numbers;
    for (int n = 1; n <= 32; ++n) {
        if (PortExists(n))
            numbers << n;
    }
    return numbers;
}
QString PortList::DevicePath(int portNumber) { return SerialDevicePath(portNumber); }
QString PortList::Description(int) { return {}; }
PortList& PortList::Instance() { return g_ports.get(); }
void PortList::SetInstance(PortList* ports) { g_ports.current = ports; }

ProgramLocation::~ProgramLocation() = default;

QString ProgramLocation::PathOf(const QString& fileName)
{
    const QString folder = Folder();
    if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    // Join in the folder's own style.
    const bool slash = folder.contains(QLatin1Char('/')) && !folder.contains(QLatin1Char('\\'));
    return folder + (slash ? QLatin1Char('/') : QLatin1Char('\\')) + fileName;
}

ProgramLocation& ProgramLocation::Instance() { return g_location.get(); }
void ProgramLocation::SetInstance(ProgramLocation* location) { g_location.current = location; }

} // namespace platform
