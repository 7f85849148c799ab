#include "app/frame/StateIcons.h"

#include "platform/TimeSource.h"

#include <QIcon>
#include <QPixmap>

namespace {

constexpr int kWidth = 22;
constexpr int kHeight = 16;
constexpr QRgb kMask = 0xFFFF00FF; // magenta: see-through

QImage Blank()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Magenta becomes transparent, so the picture shows the list's own background.
QImage Masked(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xFF000000) == kMask)
                line[x] = 0;
        }
    }
    return image;
}

} // namespace

// The glyphs live in the program's static library: their resource must be registered by hand.
static void InitStateGlyphResources() { Q_INIT_RESOURCE(icons); }

namespace StateIcons {

static void EnsureGlyphResources()
{
    static bool initialised = false;
    if (!initialised) {
        InitStateGlyphResources();
        initialised = true;
    }
}

QImage ToolGlyph(const QString& key)
{
    EnsureGlyphResources();
    QImage image(QStringLiteral(":/icons/tool/") + key, "XPM");
    return image.size() == QSize(16, 16) ? image : QImage();
}

QImage Glyph(const QString& key)
{
    EnsureGlyphResources();
    QImage image(QStringLiteral(":/icons/state/") + key, "XPM");
    if (image.isNull() || image.size() != QSize(kWidth, kHeight))
        return QImage();
    return image;
}

QImage Overlay(const QImage& base, const QImage& over)
{
    if (base.isNull() || over.isNull() || base.size() != over.size())
        return QImage();
    QImage result = Masked(base);
    const QImage top = Masked(over);
    for (int y = 0; y < result.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(top.constScanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (qAlpha(in[x]) != 0)
                out[x] = in[x];
        }
    }
    return result;
}

namespace {

class Composer {
public:
    explicit Composer(Lists& lists) : m(lists) {}

    // A picture that cannot be made stays blank in its place, so every later index holds.
    void Add(ImageList& list, const QString& key, const QImage& image)
    {
        if (image.isNull()) {
            ++m.blankPictures;
            list.images << Blank();
        } else {
            list.images << Masked(image);
        }
        list.keys << key;
    }
    QImage Get(const ImageList& list, const QString& key) const
    {
        const int i = int(list.keys.indexOf(key));
        return i < 0 ? QImage() : list.images.at(i);
    }
    void AddOverlay(ImageList& list, const QString& key, const ImageList& from, const QString& base,
                    const QString& over)
    {
        Add(list, key, Overlay(Get(from, base), Get(from, over)));
    }
    void Copy(ImageList& to, const ImageList& from, const QString& key) { Add(to, key, Get(from, key)); }

    Lists& m;
};

void Breathe() { platform::TimeSource::Instance().ProcessEvents(); }

} // namespace

Lists Compose(QImage (*glyph)(const QString&))
{
    Lists lists;
    Composer c(lists);
    auto design = [&](ImageList& list, const QStringList& keys) {
        for (const QString& key : keys) {
            const QImage image = glyph(key);
            if (image.isNull())
                ++lists.blankPictures;
            list.images << (image.isNull() ? Blank() : Masked(image));
            list.keys << key;
        }
    };
    design(lists.imlDigitalSource, {"NC", "NO", "ALARM", "SHUTDOWN", "WARNING", "RUN", "NCX", "NOX", "ALARMX",
                                    "SHUTDOWNX", "WARNINGX", "RUNX"});
    design(lists.imlAnalogSource, {"ANALOG", "ALARM", "SHUTDOWN", "WARNING", "WARNING2", "RUN", "ABOVE", "BELOW",
                                   "2SETPOINTS", "V", "J1587", "J1939", "ANALOGX", "ALARMX", "SHUTDOWNX", "WARNINGX",
                                   "WARNING2X", "RUNX", "ABOVEX", "BELOWX", "2SETPOINTSX", "VX", "J1587X", "J1939X"});
    design(lists.imlRelay, {"EVENT", "ALARM", "RELAY", "RELAYX"});

    const QStringList actions{"ALARM", "SHUTDOWN", "WARNING"};
    ImageList& ds = lists.imlDigitalSource;
    // 1: the switch intermediates.
    for (const QString base : {"NC", "NCX", "NO", "NOX"}) {
        const QString x = base.endsWith('X') ? QStringLiteral("X") : QString();
        for (const QString& action : actions)
            c.AddOverlay(ds, base + '_' + action, ds, base, action + x);
    }
    Breathe();
    // 2: the switch list.
    ImageList& dig = lists.imlDigital;
    for (const QString base : {"NC", "NO", "NCX", "NOX"}) {
        const QString x = base.endsWith('X') ? QStringLiteral("X") : QString();
        for (const QString& action : actions)
            c.Add(dig, base + '_' + action, Overlay(c.Get(ds, base), c.Get(ds, action + x)));
        for (const QString& action : actions)
            c.Add(dig, base + '_' + action + "_RUN", Overlay(c.Get(dig, base + '_' + action), c.Get(ds, "RUN" + x)));
    }
    Breathe();
    // 3: the analog intermediates.
    ImageList& as = lists.imlAnalogSource;
    const QStringList analogActions{"ALARM", "SHUTDOWN", "WARNING", "WARNING_ALARM", "WARNING_SHUTDOWN", "2SETPOINTS"};
    for (const QString base : {"ANALOG", "ANALOGX"}) {
        const QString x = base.endsWith('X') ? QStringLiteral("X") : QString();
        for (const QString& action : actions)
            c.AddOverlay(as, base + '_' + action, as, base, action + x);
        c.AddOverlay(as, base + "_WARNING_ALARM", as, base + "_ALARM", "WARNING2" + x);
        c.AddOverlay(as, base + "_WARNING_SHUTDOWN", as, base + "_SHUTDOWN", "WARNING2" + x);
        c.AddOverlay(as, base + "_2SETPOINTS", as, base, "2SETPOINTS" + x);
        for (const QString& action : analogActions) {
            c.AddOverlay(as, base + '_' + action + "_ABOVE", as, base + '_' + action, "ABOVE" + x);
            c.AddOverlay(as, base + '_' + action + "_BELOW", as, base + '_' + action, "BELOW" + x);
        }
        Breathe();
    }
    // 4: the analog list.
    ImageList& ana = lists.imlAnalog;
    for (const QString base : {"ANALOG", "ANALOGX"}) {
        const QString x = base.endsWith('X') ? QStringLiteral("X") : QString();
        QStringList thirteen{base};
        for (const QString& action : analogActions) {
            thirteen << base + '_' + action + "_ABOVE" << base + '_' + action + "_BELOW";
        }
        for (const QString& key : thirteen)
            c.Copy(ana, as, key);
        for (const QString& key : thirteen)
            c.Add(ana, key + "_RUN", Overlay(c.Get(ana, key), c.Get(as, "RUN" + x)));
        Breathe();
    }
    // 5: the relay list, warning first.
    ImageList& rel = lists.imlRelay;
    for (const QString base : {"NC", "NO", "NCX", "NOX"}) {
        for (const char* action : {"WARNING", "ALARM", "SHUTDOWN"})
            c.Copy(rel, dig, base + '_' + QLatin1String(action));
    }
    for (const QString base : {"ANALOG", "ANALOGX"}) {
        for (const char* action : {"WARNING", "ALARM", "SHUTDOWN", "2SETPOINTS"}) {
            c.Copy(rel, ana, base + '_' + QLatin1String(action) + "_ABOVE");
            c.Copy(rel, ana, base + '_' + QLatin1String(action) + "_BELOW");
        }
    }
    c.Copy(rel, ana, QStringLiteral("ANALOGX"));
    c.Copy(rel, ana, QStringLiteral("ANALOG"));
    // 6: the additional RUN detection list: every switch picture, then every analog one.
    ImageList& run = lists.imlAdditionalRUNDetect;
    for (int i = 0; i < dig.images.size(); ++i) {
        run.images << dig.images.at(i);
        run.keys << dig.keys.at(i);
    }
    Breathe();
    for (int i = 0; i < ana.images.size(); ++i) {
        run.images << ana.images.at(i);
        run.keys << ana.keys.at(i);
    }
    Breathe();
    return lists;
}

ListImages BuildStateIcons()
{
    const Lists lists = Compose();
    auto icons = [](const ImageList& list) {
        QVector<QIcon> out;
        out.reserve(list.images.size());
        for (const QImage& image : list.images)
            out << QIcon(QPixmap::fromImage(image));
        return out;
    };
    ListImages images;
    images.imlDigital = icons(lists.imlDigital);
    images.imlAnalog = icons(lists.imlAnalog);
    images.imlRelay = icons(lists.imlRelay);
    images.imlAdditionalRUNDetect = icons(lists.imlAdditionalRUNDetect);
    images.imlDigitalKeys = lists.imlDigital.keys;
    images.imlAnalogKeys = lists.imlAnalog.keys;
    images.imlRelayKeys = lists.imlRelay.keys;
    images.imlAdditionalRUNDetectKeys = lists.imlAdditionalRUNDetect.keys;
    return images;
}

} // namespace StateIcons
