#include "LangTableData.h"

#include "platform/LibraryLoader.h"

namespace langtest {

namespace {

struct Loaded {
    bool ok = false;
    QMap<quint16, QString> texts;
};

const Loaded& Load()
{
    static const Loaded loaded = [] {
        Loaded l;
        auto& loader = platform::LibraryLoader::Instance();
        const quintptr handle = loader.Load("XELLAN.DLL");
        if (handle == 0)
            return l;
        l.ok = true;
        for (int id = 0; id <= 65535; ++id) {
            if (auto t = loader.String(handle, quint16(id)))
                l.texts.insert(quint16(id), *t);
        }
        loader.Free(handle);
        return l;
    }();
    return loaded;
}

} // namespace

const QMap<quint16, QString>& LibraryTexts() { return Load().texts; }
bool LibraryLoaded() { return Load().ok; }

bool UnitCanShow(QChar ch)
{
    static const QString extra = QString::fromUtf8("ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥ƒ");
    return (ch.unicode() >= 32 && ch.unicode() <= 126) || extra.contains(ch);
}

bool SplitDisplayText(const QString& s, int& width, QString& text)
{
    if (s.size() < 3 || !s[0].isDigit() || !s[1].isDigit() || s[2] != QLatin1Char('-')
        || s[0].unicode() > '9' || s[1].unicode() > '9')
        return false;
    width = (s[0].unicode() - '0') * 10 + (s[1].unicode() - '0');
    text = s.mid(3);
    return true;
}

} // namespace langtest
