#include "app/unitops/SetupLog.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "extra/extra.h"
#include "app/unitops/UnitOps.h"
#include "datamodel/XelObject.h"
#include "platform/FileDialogs.h"
#include "platform/MessagePresenter.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include "platform/WholeFile.h"

#include <cmath>

namespace unitops {

namespace {

const QString kLogFilter = QStringLiteral("Log files (*.log)|*.log|All files (*.*)|*.*");
// A log of a full image has 4128 lines; a file far beyond that is no setup log.
constexpr qint64 kMaxLogBytes = 4 * 1024 * 1024;

QWidget* Owner(MainState& state) { return state.frame ? state.frame->MainWindow() : nullptr; }

bool AskSaveName(MainState& state, QString& path)
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Save Log File");
    request.filter = kLogFilter;
    request.filterIndex = 1;
    request.flags = platform::FileDialogRequest::OverwritePrompt;
    if (!platform::FileDialogs::Instance().ShowSave(Owner(state), request) || request.fileName.isEmpty())
        return false;
    path = request.fileName;
    return true;
}

// A log the user asked for is not lost without a word: the same message as a setup file that
// cannot be saved.
bool WriteChosenLog(const QString& path, const QVector<qint32>& words)
{
    if (WriteSetupLog(path, words))
        return true;
    extra::LangMsgBox(190, platform::MsgStyle::Exclamation, {QFileInfo(path).fileName(), path});
    return false;
}

} // namespace

QByteArray SetupLogText(const QVector<qint32>& words)
{
    QByteArray text;
    text.reserve(words.size() * 20);
    for (int i = 0; i < words.size(); ++i) {
        const qint32 v = words[i];
        text += QByteArray::number(i) + "\t:\t" + QByteArray::number(v) + '\t' + QByteArray::number(v / 256) + '\t'
              + QByteArray::number(v % 256) + "\r\n";
    }
    return text;
}

bool WriteSetupLog(const QString& path, const QVector<qint32>& words)
{
    return platform::WriteWholeFile(path, SetupLogText(words));
}

bool ParseSetupLog(const QByteArray& text, QVector<qint32>& words)
{
    words.clear();
    // Lines end in CR LF as written, or in LF or CR alone after an editor has had the file.
    QByteArray unified = text;
    unified.replace("\r\n", "\n").replace('\r', '\n');
    QList<QByteArray> lines = unified.split('\n');
    // The line break after the last line starts no further line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QVector<qint32> out;
    out.reserve(lines.size());
    for (const QByteArray& line : lines) {
        const QString l = QString::fromLatin1(line);
        const qsizetype colon = l.indexOf(QLatin1Char(':'));
        QString rest = colon < 0 ? QString() : l.mid(colon + 1);
        const QStringList fields = rest.split(QLatin1Char('\t'));
        if (fields.size() > 2)
            rest = fields[1];
        const double value = extra::NumericPrefix(rest);
        if (!std::isfinite(value) || value < -0.5 || value > 65535.5)
            return false;
        const qint64 word = extra::RoundHalfEven(value);
        if (word < 0 || word > 65535)
            return false;
        out.append(qint32(word));
    }
    words = out;
    return true;
}

bool ReadSetupLog(const QString& path, QVector<qint32>& words)
{
    // A pipe would block the open until a writer comes.
    if (!platform::IsRegularFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.read(kMaxLogBytes + 1);
    if (text.size() > kMaxLogBytes)
        return false;
    return ParseSetupLog(text, words);
}

void SwapWordBytes(qint32& word)
{
    const qint32 high = (word / 256) & 0xFF;
    const qint32 low = word % 256;
    word = low * 256 + high;
}

bool SwapImageWords(QVector<qint32>& words)
{
    if (words.size() < kSwapImageWords)
        return false;
    QVector<int> bytes{0};
    for (int i = 0; i <= 4; ++i)
        bytes << 416 + 46 * i << 418 + 46 * i;
    bytes << 652 << 654 << 656 << 658 << 666;
    bytes << 2054 << 2056 << 2058 << 2060;
    for (int i = 0; i <= 5; ++i)
        bytes << 2064 + 46 * i << 2066 + 46 * i << 2068 + 46 * i << 2070 + 46 * i;
    for (int i = 0; i <= 5; ++i)
        bytes << 2586 + 46 * i << 2588 + 46 * i << 2590 + 46 * i << 2592 + 46 * i;
    for (int i = 0; i <= 23; ++i)
        bytes << 2862 + 8 * i << 2864 + 8 * i;
    for (int i = 0; i <= 3; ++i)
        bytes << 3054 + 4 * i;
    bytes << 3068 << 3070;
    for (int b : bytes)
        SwapWordBytes(words[b / 2]);
    return true;
}

bool SaveSetupLogFromComm(MainState& state, const QVector<qint32>& words)
{
    QString path;
    if (!AskSaveName(state, path))
        return false;
    return WriteChosenLog(path, words);
}

bool SaveSetupLog(MainState& state)
{
    QString path;
    if (!AskSaveName(state, path))
        return false;
    QVector<qint32> words;
    XelObject* setup = state.XelObject();
    if (!setup || !setup->GetSetup(words))
        return false;
    return WriteChosenLog(path, words);
}

bool OpenSetupLog(MainState& state, bool swapWords)
{
    platform::FileDialogRequest request;
    request.filter = kLogFilter;
    request.filterIndex = 1;
    if (!platform::FileDialogs::Instance().ShowOpen(Owner(state), request) || request.fileName.isEmpty())
        return false;
    QVector<qint32> words;
    if (!ReadSetupLog(request.fileName, words))
        return false;
    if (swapWords && !SwapImageWords(words))
        return false;
    XelObject* setup = state.XelObject();
    return setup && setup->LoadSetup(words, QStringLiteral("4.47"));
}

} // namespace unitops
