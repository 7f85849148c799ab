#pragma once
// The report printing engine: a document of pages built from tables in twips, independent of
// the device, then drawn on any printer, a PDF file or the preview. Cells are always passed as
// lists, so no text of a setup is ever read as markup.
#include <QColor>
#include <QFont>
#include <QLineF>
#include <QMarginsF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

class ReportPrinter {
public:
    // One column of a table format: "<" left or ">" right, and its width in twips.
    struct Column {
        bool right = false;
        double width = 0;
    };
    // What was added, in order: the recording tests read and the pages are drawn from.
    struct Op {
        enum Kind { Table, Line, PageBreak, Text } kind = Table;
        int page = 1;
        double y = 0;      // CurrentY where the op starts
        double height = 0; // space the op took
        QString format;
        QStringList header;
        QList<QStringList> body;
        QColor headerShade, bodyShade;
        bool flag = false;
        bool headerShown = false;
        int border = 0;
        double fontSize = 0;
        bool bold = false;
        QString fontFamily;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };

    ReportPrinter();

    // Dots per inch the pages are drawn at (a PDF's, and a high-resolution QPrinter's): rows are
    // wrapped and sized with the font's measures at this resolution, so every drawn line fits
    // its cell.
    static constexpr int Resolution = 1200;

    // Page set-up, twips. The default page is A4 portrait.
    void SetPageSize(const QSizeF& twips)
    {
        m_page = twips;
        m_fit = 1;
    }
    QSizeF PaperSize() const { return m_page; }
    // The page the report is laid out on: the paper, or, where the paper's printable area is
    // narrower than ReportWidth, the paper enlarged so that the report fits, each page then
    // drawn scaled down onto the paper (StartDoc works out the factor).
    double PageWidth() const { return m_page.width() / m_fit; }
    double PageHeight() const { return m_page.height() / m_fit; }
    // The width in twips the report's tables take from the left margin (0: none given).
    double ReportWidth = 0;
    double MarginLeft = 1440, MarginTop = 1440, MarginRight = 1440, MarginBottom = 1440;
    // The edges of the paper the printer cannot print on, twips of the paper. StartDoc widens a
    // margin that would reach into them, so that the header and footer lines stay on it too.
    void SetUnprintable(const QMarginsF& twips) { m_unprintable = twips; }
    QMarginsF Unprintable() const { return m_unprintable; }

    QString DocName;
    // The document is open between StartDoc and EndDoc; a start that failed leaves Error set.
    bool StartDoc();
    void EndDoc();
    int Error() const { return m_error; }
    void SetStartFails(bool fails) { m_startFails = fails; }
    void NewPage();
    int PageCount() const { return m_pages; }

    // Runs every time a page begins (also the first), before anything is placed on it.
    std::function<void()> OnNewPage;

    void AddTable(const QString& format, const QStringList& header, const QList<QStringList>& body,
                  const QColor& headerShade, const QColor& bodyShade, bool flag = false);
    void DrawLine(double x1, double y1, double x2, double y2);
    // A paragraph across the text width at CurrentY, in the current font; CurrentY moves below it.
    void Text(const QString& text);
    // Left, centre and right parts. In the footer "%d" stands for the page number.
    void SetHeader(const QStringList& parts) { m_header = parts; }
    void SetFooter(const QStringList& parts) { m_footer = parts; }
    QStringList Header() const { return m_header; }
    QStringList Footer() const { return m_footer; }
    double HeaderFontSize = 9;
    bool HeaderBold = false;

    double CurrentY = 0;
    double FontSize = 10;
    bool FontBold = false;
    int TableBorder = 0;
    QFont Font;

    // Height in twips that rows of a table would take in the current font at a point size, or
    // a paragraph of Text: what a block needs before it is added.
    double TableHeight(const QString& format, const QList<QStringList>& rows, double points, bool bold) const;
    double TextHeight(const QString& text, double points) const;
    // The narrowest column, twips, that shows text on one line at a point size.
    double OneLineWidth(const QString& text, double points, bool bold) const;
    // True when something but the rules was placed on the page begun last.
    bool PageHasContent() const { return m_contentOnPage; }

    const QVector<Op>& Ops() const { return m_ops; }
    static QVector<Column> ParseFormat(const QString& format);
    // Height in twips of one line at a point size: the line spacing of the current font as it is
    // drawn, so that no descender or accent is cut at the edge of its row.
    double LineHeight(double points, bool bold = false) const;
    // A cell's text with CR LF and CR line breaks as line feeds.
    static QString Lines(const QString& text);
    // How a row's cells share its width when drawn in font.
    struct Span {
        double width = 0;     // twips the cell's text may take
        bool right = false;   // drawn right-aligned
        bool covered = false; // an earlier cell's text runs over it
    };
    QVector<Span> Spans(const QVector<Column>& columns, const QStringList& cells, const QFont& font) const;

    // Draws pages from..to (1-based, inclusive) on the printer, each page on its own sheet.
    void Render(QPrinter& printer, int fromPage = 1, int toPage = 0) const;
    // Prints every page `copies` times; false when the printer would not start. A printer that
    // writes a PDF file gets the whole file or none: failure then says why.
    bool Print(QPrinter& printer, int copies = 1, QString* failure = nullptr) const;
    // Writes every page, whole or not at all, to a PDF file laid out as printer's pages: the
    // document a print server is handed for that printer.
    bool WritePdf(const QString& file, const QPrinter& printer, int copies = 1, QString* failure = nullptr) const;

private:
    struct PageText {
        QStringList header, footer;
        double headerSize = 9;
        bool headerBold = false;
    };
    // The current font at a size and weight, as rows are measured and drawn.
    QFont FontAt(double points, bool bold) const;
    void BeginPage();
    void ClosePage();
    double RowHeight(const QVector<Column>& columns, const QStringList& cells, double points, bool bold) const;
    void DrawPage(QPainter& p, double scale, int page) const;
    static void DrawThreeParts(QPainter& p, const QRectF& rect, const QStringList& parts);
    bool DrawPages(QPagedPaintDevice& device, int resolution, int fromPage, int toPage, int copies) const;

    QSizeF m_page;
    double m_fit = 1; // the scale the pages are drawn at on the paper
    QMarginsF m_unprintable;
    bool m_open = false;
    bool m_startFails = false;
    int m_error = 0;
    int m_pages = 0;
    bool m_inNewPage = false;
    bool m_contentOnPage = false;
    QStringList m_header, m_footer;
    QVector<PageText> m_pageTexts;
    QVector<Op> m_ops;
    // What each page draws.
    struct Piece {
        enum { Cell, Rule } kind = Cell;
        QRectF rect;   // twips
        double textWidth = 0; // twips the text may take (0: the cell's width)
        QString text;
        bool right = false;
        QColor shade;
        bool bold = false;
        double size = 10;
        QString family; // "" for the printer's font
        bool box = false;
        QLineF line;
    };
    QVector<QVector<Piece>> m_pieces;
};
