#include "app/reports/ReportPrinter.h"

#include "platform/WholeFile.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextOption>

#include <cmath>

namespace {

constexpr double kPadX = 60;   // twips inside a cell, left and right
constexpr double kPadY = 30;   // twips above and below a cell's text

// What the pages are measured on: a device of the resolution they are drawn at. A font's
// measures depend on the device (the screen's are some 2 % narrower than a PDF's), and a line
// wrapped with other measures than the drawing's would be clipped at its cell's edge.
class MeasuringDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return ReportPrinter::Resolution;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        default: return 1;
        }
    }
};

QFontMetricsF Measures(const QFont& font)
{
    static const MeasuringDevice device;
    return QFontMetricsF(font, &device);
}

// A line's height in whole twips, rounded up: a row is never a fraction shorter than the lines
// drawn in it.
double LineTwips(const QFont& font)
{
    const QFontMetricsF metrics = Measures(font);
    return std::ceil(metrics.lineSpacing() * 1440.0 / metrics.fontDpi());
}

// The lines a text is drawn in within a column of `width` twips. The page draws exactly these
// lines, so a row is always as tall as the lines it shows. Leading blanks (an indent) are kept.
QStringList Wrap(const QString& text, const QFont& font, double width)
{
    QStringList out;
    const QFontMetricsF metrics = Measures(font);
    const double pixelsPerTwip = metrics.fontDpi() / 1440.0;
    const double room = qMax(1.0, width * pixelsPerTwip);
    // A word longer than the column (a name without blanks) is broken inside, so that it never
    // runs into the next column.
    auto flush = [&](QString line) {
        while (line.size() > 1 && metrics.horizontalAdvance(line) > room) {
            int n = int(line.size()) - 1;
            while (n > 1 && metrics.horizontalAdvance(line.left(n)) > room)
                --n;
            out.append(line.left(n));
            line = line.mid(n);
        }
        out.append(line);
    };
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        int lead = 0;
        while (lead < paragraph.size() && paragraph[lead] == QLatin1Char(' '))
            ++lead;
        QString line = paragraph.left(lead);
        bool started = false;
        for (const QString& word : paragraph.mid(lead).split(QLatin1Char(' '))) {
            const QString candidate = started ? line + QLatin1Char(' ') + word : line + word;
            if (!started || metrics.horizontalAdvance(candidate) <= room) {
                line = candidate;
                started = true;
            } else {
                flush(line);
                line = word;
            }
        }
        flush(line);
    }
    return out;
}

} // namespace

ReportPrinter::ReportPrinter() : m_page(11906, 16838) {}

QVector<ReportPrinter::Column> ReportPrinter::ParseFormat(const QString& format)
{
    QVector<Column> columns;
    for (QString part : format.split(QLatin1Char('|'))) {
        Column c;
        part = part.trimmed();
        if (part.startsWith(QLatin1Char('>')))
            c.right = true;
        // Some formats repeat the sign ("<<1800"); every leading sign is skipped.
        while (part.startsWith(QLatin1Char('<')) || part.startsWith(QLatin1Char('>')) || part.startsWith(QLatin1Char('^')))
            part.remove(0, 1);
        c.width = qMax(0.0, part.toDouble());
        columns.append(c);
    }
    return columns;
}

// Cells may carry CR LF line breaks; the painter knows only line feeds.
QString ReportPrinter::Lines(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A tab indents a label (the bus rows); it is measured and drawn as the same blanks.
    out.replace(QLatin1Char('\t'), QStringLiteral("   "));
    return out;
}

QFont ReportPrinter::FontAt(double points, bool bold) const
{
    QFont font = Font;
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: "fi" stays two letters, so the text of a PDF reads and searches as printed.
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

double ReportPrinter::LineHeight(double points, bool bold) const { return LineTwips(FontAt(points, bold)); }

bool ReportPrinter::StartDoc()
{
    m_ops.clear();
    m_pieces.clear();
    m_pageTexts.clear();
    m_pages = 0;
    m_error = m_startFails ? 1 : 0;
    if (m_error)
        return false;
    // A paper whose printable area is narrower than the report gets the report as on a larger
    // page, scaled down to the paper: the tables end at the printable edge, and the left margin
    // (never less than the unprintable edge) shrinks with them.
    m_fit = 1;
    const double printableRight = m_page.width() - m_unprintable.right();
    if (ReportWidth > 0 && printableRight > m_unprintable.left()) {
        m_fit = qMin(printableRight / (MarginLeft + ReportWidth), (printableRight - m_unprintable.left()) / ReportWidth);
        m_fit = qMin(1.0, m_fit);
    }
    const QMarginsF unprintable = m_unprintable / m_fit;
    // The header line sits above the top margin and the footer line below the bottom one.
    const double lineRoom = LineHeight(HeaderFontSize, HeaderBold) + 60;
    MarginTop = qMax(MarginTop, unprintable.top() + lineRoom);
    MarginBottom = qMax(MarginBottom, unprintable.bottom() + lineRoom);
    MarginLeft = qMax(MarginLeft, unprintable.left());
    MarginRight = qMax(MarginRight, unprintable.right());
    m_open = true;
    BeginPage();
    return true;
}

void ReportPrinter::EndDoc()
{
    if (!m_open)
        return;
    ClosePage();
    m_open = false;
}

void ReportPrinter::BeginPage()
{
    ++m_pages;
    m_pieces.append(QVector<Piece>());
    m_pageTexts.append(PageText());
    m_contentOnPage = false;
    CurrentY = MarginTop;
    // The handler puts the header, footer and rules of the new page.
    if (OnNewPage && !m_inNewPage) {
        m_inNewPage = true;
        OnNewPage();
        m_inNewPage = false;
    }
}

void ReportPrinter::ClosePage()
{
    if (m_pageTexts.isEmpty())
        return;
    PageText& t = m_pageTexts.last();
    t.header = m_header;
    t.footer = m_footer;
    t.headerSize = HeaderFontSize;
    t.headerBold = HeaderBold;
}

void ReportPrinter::NewPage()
{
    if (!m_open)
        return;
    Op op;
    op.kind = Op::PageBreak;
    op.page = m_pages;
    op.y = CurrentY;
    m_ops.append(op);
    ClosePage();
    BeginPage();
}

// How the cells of a row share its width: a text runs on over the empty cells after it (a
// heading or a label in a narrow column then stays on one line), and a right-aligned text that
// would not fit on one line does the same, left-aligned. Cells run over lose their own box.
QVector<ReportPrinter::Span> ReportPrinter::Spans(const QVector<Column>& columns, const QStringList& cells,
                                                  const QFont& font) const
{
    QVector<Span> spans(columns.size());
    for (int i = 0; i < columns.size(); ++i) {
        spans[i].width = columns[i].width;
        spans[i].right = columns[i].right;
    }
    const QFontMetricsF metrics = Measures(font);
    const double pixelsPerTwip = metrics.fontDpi() / 1440.0;
    for (int i = 0; i < columns.size(); ++i) {
        if (spans[i].covered || i >= cells.size() || cells[i].isEmpty())
            continue;
        double extra = 0;
        int last = i;
        for (int j = i + 1; j < columns.size() && (j >= cells.size() || cells[j].isEmpty()); ++j) {
            extra += columns[j].width;
            last = j;
        }
        if (extra <= 0)
            continue;
        if (columns[i].right) {
            double widest = 0;
            for (const QString& line : Lines(cells[i]).split(QLatin1Char('\n')))
                widest = qMax(widest, metrics.horizontalAdvance(line) / pixelsPerTwip);
            if (widest + 2 * kPadX <= columns[i].width)
                continue;
            spans[i].right = false;
        }
        spans[i].width += extra;
        for (int j = i + 1; j <= last; ++j)
            spans[j].covered = true;
    }
    return spans;
}

double ReportPrinter::RowHeight(const QVector<Column>& columns, const QStringList& cells, double points, bool bold) const
{
    const QFont font = FontAt(points, bold);
    const QVector<Span> spans = Spans(columns, cells, font);
    int lines = 1;
    for (int i = 0; i < columns.size() && i < cells.size(); ++i)
        lines = qMax(lines, int(Wrap(Lines(cells[i]), font, spans[i].width - 2 * kPadX).size()));
    return lines * LineTwips(font) + 2 * kPadY;
}

double ReportPrinter::TableHeight(const QString& format, const QList<QStringList>& rows, double points, bool bold) const
{
    const QVector<Column> columns = ParseFormat(format);
    double h = 0;
    for (const QStringList& row : rows)
        h += RowHeight(columns, row, points, bold);
    return h;
}

double ReportPrinter::TextHeight(const QString& text, double points) const
{
    const QVector<Column> columns{Column{false, PageWidth() - MarginLeft - MarginRight}};
    return RowHeight(columns, {Lines(text)}, points, false);
}

double ReportPrinter::OneLineWidth(const QString& text, double points, bool bold) const
{
    const QFontMetricsF metrics = Measures(FontAt(points, bold));
    const double pixelsPerTwip = metrics.fontDpi() / 1440.0;
    double widest = 0;
    for (const QString& line : Lines(text).split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line) / pixelsPerTwip);
    return std::ceil(widest + 2 * kPadX) + 1;
}

void ReportPrinter::AddTable(const QString& format, const QStringList& header, const QList<QStringList>& body,
                             const QColor& headerShade, const QColor& bodyShade, bool flag)
{
    if (!m_open)
        return;
    const QVector<Column> columns = ParseFormat(format);
    Op op;
    op.kind = Op::Table;
    op.page = m_pages;
    op.y = CurrentY;
    op.format = format;
    op.header = header;
    op.body = body;
    op.headerShade = headerShade;
    op.bodyShade = bodyShade;
    op.flag = flag;
    op.border = TableBorder;
    op.fontSize = FontSize;
    op.bold = FontBold;
    op.fontFamily = Font.family();
    const double bottom = PageHeight() - MarginBottom;
    const double top = CurrentY;
    const int startPage = m_pages;

    auto place = [&](const QStringList& cells, const QColor& shade) {
        const double h = RowHeight(columns, cells, FontSize, FontBold);
        bool broke = false;
        // A row that does not fit moves to a new page (unless the page is still empty).
        if (CurrentY + h > bottom && CurrentY > MarginTop + 1) {
            NewPage();
            broke = true;
        }
        const QFont font = FontAt(FontSize, FontBold);
        const QVector<Span> spans = Spans(columns, cells, font);
        double x = MarginLeft;
        for (int i = 0; i < columns.size(); ++i) {
            Piece piece;
            piece.rect = QRectF(x, CurrentY, columns[i].width, h);
            piece.textWidth = spans[i].width;
            piece.text = i < cells.size() ? Wrap(Lines(cells[i]), font, spans[i].width - 2 * kPadX).join(QLatin1Char('\n'))
                                          : QString();
            piece.right = spans[i].right;
            piece.shade = shade;
            piece.bold = FontBold;
            piece.size = FontSize;
            piece.family = Font.family();
            piece.box = TableBorder != 0 && !spans[i].covered;
            m_pieces[m_pages - 1].append(piece);
            x += columns[i].width;
        }
        m_contentOnPage = true;
        CurrentY += h;
        return broke;
    };

    // A header of empty cells only repeats nothing worth a line.
    bool hasHeader = false;
    for (const QString& cell : header)
        hasHeader = hasHeader || !cell.isEmpty();
    if (hasHeader && !flag) {
        place(header, headerShade);
        op.headerShown = true;
    }
    for (const QStringList& row : body) {
        const int pageBefore = m_pages;
        const double yBefore = CurrentY;
        const double h = RowHeight(columns, row, FontSize, FontBold);
        // A flagged row repeats its block's heading when it starts a new page.
        if (flag && hasHeader && yBefore + h > bottom && yBefore > MarginTop + 1) {
            NewPage();
            place(header, headerShade);
            op.headerShown = true;
        }
        place(row, bodyShade);
        Q_UNUSED(pageBefore);
    }
    op.height = m_pages == startPage ? CurrentY - top : CurrentY;
    m_ops.append(op);
}

void ReportPrinter::DrawLine(double x1, double y1, double x2, double y2)
{
    if (!m_open)
        return;
    Op op;
    op.kind = Op::Line;
    op.page = m_pages;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    m_ops.append(op);
    Piece piece;
    piece.kind = Piece::Rule;
    piece.line = QLineF(x1, y1, x2, y2);
    m_pieces[m_pages - 1].append(piece);
}

void ReportPrinter::Text(const QString& text)
{
    if (!m_open)
        return;
    const double width = PageWidth() - MarginLeft - MarginRight;
    const QVector<Column> columns{Column{false, width}};
    const double h = RowHeight(columns, {Lines(text)}, FontSize, FontBold);
    if (CurrentY + h > PageHeight() - MarginBottom && CurrentY > MarginTop + 1)
        NewPage();
    Op op;
    op.kind = Op::Text;
    op.page = m_pages;
    op.y = CurrentY;
    op.height = h;
    op.body = {{text}};
    op.fontSize = FontSize;
    op.bold = FontBold;
    op.fontFamily = Font.family();
    m_ops.append(op);
    Piece piece;
    piece.rect = QRectF(MarginLeft, CurrentY, width, h);
    const QFont font = FontAt(FontSize, FontBold);
    piece.text = Wrap(Lines(text), font, width - 2 * kPadX).join(QLatin1Char('\n'));
    piece.bold = FontBold;
    piece.size = FontSize;
    piece.family = Font.family();
    m_pieces[m_pages - 1].append(piece);
    m_contentOnPage = true;
    CurrentY += h;
}

void ReportPrinter::DrawPage(QPainter& p, double scale, int page) const
{
    auto toDevice = [scale](const QRectF& r) {
        return QRectF(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale);
    };
    QPen pen(Qt::black);
    pen.setWidthF(qMax(1.0, 10 * scale));
    // Shades and boxes first, so a text running on over empty cells is not painted over.
    for (const Piece& piece : m_pieces[page - 1]) {
        if (piece.kind == Piece::Rule) {
            p.setPen(pen);
            p.drawLine(QLineF(piece.line.p1() * scale, piece.line.p2() * scale));
            continue;
        }
        const QRectF r = toDevice(piece.rect);
        if (piece.shade.isValid() && piece.shade != QColor(Qt::black) && piece.shade.rgb() != 0xff000000)
            p.fillRect(r, piece.shade);
    }
    for (const Piece& piece : m_pieces[page - 1]) {
        if (piece.kind == Piece::Rule || !piece.box)
            continue;
        QRectF box = piece.rect;
        if (piece.textWidth > 0)
            box.setWidth(piece.textWidth);
        p.setPen(pen);
        p.drawRect(toDevice(box));
    }
    for (const Piece& piece : m_pieces[page - 1]) {
        if (piece.kind == Piece::Rule || piece.text.isEmpty())
            continue;
        QRectF cell = piece.rect;
        if (piece.textWidth > 0)
            cell.setWidth(piece.textWidth);
        const QRectF r = toDevice(cell);
        QFont font = FontAt(piece.size, piece.bold);
        if (!piece.family.isEmpty())
            font.setFamily(piece.family);
        p.setFont(font);
        p.setPen(Qt::black);
        const QRectF text = r.adjusted(kPadX * scale, kPadY * scale, -kPadX * scale, -kPadY * scale);
        p.drawText(text, (piece.right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop, piece.text);
    }
    // Header and footer: three parts each, above the top margin and below the bottom margin.
    const PageText& t = m_pageTexts[page - 1];
    p.setFont(FontAt(t.headerSize, t.headerBold));
    const double lineH = LineHeight(t.headerSize, t.headerBold);
    const QRectF headerRect = toDevice(QRectF(MarginLeft, MarginTop - lineH - 60, PageWidth() - MarginLeft - MarginRight, lineH));
    const QRectF footerRect = toDevice(QRectF(MarginLeft, PageHeight() - MarginBottom + 60, PageWidth() - MarginLeft - MarginRight, lineH));
    QStringList footer = t.footer;
    for (QString& part : footer)
        part.replace(QStringLiteral("%d"), QString::number(page));
    DrawThreeParts(p, headerRect, t.header);
    DrawThreeParts(p, footerRect, footer);
}

// A long left part (a long file title) is cut short with "..." before the right part, never
// written over it.
void ReportPrinter::DrawThreeParts(QPainter& p, const QRectF& rect, const QStringList& parts)
{
    const QFontMetricsF metrics(p.font(), p.device());
    const QString right = parts.value(2);
    const double gap = right.isEmpty() ? 0 : metrics.horizontalAdvance(QStringLiteral("    "));
    const double room = qMax(0.0, rect.width() - metrics.horizontalAdvance(right) - gap);
    const QString left = metrics.elidedText(parts.value(0), Qt::ElideRight, room);
    p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, left);
    p.drawText(rect, Qt::AlignHCenter | Qt::AlignVCenter, parts.value(1));
    p.drawText(rect, Qt::AlignRight | Qt::AlignVCenter, right);
}

bool ReportPrinter::DrawPages(QPagedPaintDevice& device, int resolution, int fromPage, int toPage, int copies) const
{
    if (m_pieces.isEmpty())
        return false;
    fromPage = qMax(1, fromPage);
    if (toPage <= 0 || toPage > m_pieces.size())
        toPage = int(m_pieces.size());
    QPainter p;
    if (!p.begin(&device))
        return false;
    const double scale = resolution / 1440.0;
    // The layout is kept whole and only drawn smaller, so every line still fits its cell.
    if (m_fit < 1)
        p.scale(m_fit, m_fit);
    bool first = true;
    for (int copy = 0; copy < qMax(1, copies); ++copy) {
        for (int page = fromPage; page <= toPage; ++page) {
            if (!first && !device.newPage()) {
                p.end();
                return false;
            }
            first = false;
            DrawPage(p, scale, page);
        }
    }
    return p.end();
}

void ReportPrinter::Render(QPrinter& printer, int fromPage, int toPage) const
{
    DrawPages(printer, printer.resolution(), fromPage, toPage, 1);
}

bool ReportPrinter::WritePdf(const QString& file, const QPrinter& printer, int copies, QString* failure) const
{
    // The file is made in memory and then written whole: a full disk or a folder without write
    // access never leaves a cut PDF behind, nor replaces a good one.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(printer.docName());
        writer.setCreator(printer.creator());
        writer.setResolution(Resolution);
        QPageLayout layout = printer.pageLayout();
        layout.setMode(QPageLayout::FullPageMode);
        writer.setPageLayout(layout);
        if (!DrawPages(writer, writer.resolution(), 1, 0, copies)) {
            if (failure)
                *failure = QStringLiteral("the pages could not be drawn");
            return false;
        }
    }
    return platform::WriteWholeFile(file, buffer.data(), failure);
}

bool ReportPrinter::Print(QPrinter& printer, int copies, QString* failure) const
{
    printer.setFullPage(true);
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return WritePdf(printer.outputFileName(), printer, copies, failure);
    // A printer that cannot make copies itself (a system without CUPS) gets every copy drawn,
    // one after the other.
    if (printer.supportsMultipleCopies()) {
        printer.setCopyCount(qMax(1, copies));
        return DrawPages(printer, printer.resolution(), 1, 0, 1);
    }
    printer.setCopyCount(1);
    return DrawPages(printer, printer.resolution(), 1, 0, copies);
}
