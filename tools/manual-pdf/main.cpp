// manual-pdf MANUAL.md OUT.pdf: renders the user manual, written in Markdown, to the PDF that the
// data logger's Help > User Manual opens. It runs at build time, with the toolkit's own Markdown
// reader and PDF writer; images are found relative to the Markdown file.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <cstdio>

namespace {

constexpr int kResolutionDpi = 96; // the screenshots' own, so they print at their size
constexpr double kMarginMm = 20.0;
constexpr int kBodyPointSize = 10;
constexpr int kWidestImagePx = 600; // within the text width of an A4 page at kResolutionDpi
constexpr int kFooterPx = 28;       // the page number's strip under the text

// The manual with its pictures: files relative to the Markdown file, narrowed to the page.
class ManualDocument final : public QTextDocument
{
protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type != QTextDocument::ImageResource)
            return QTextDocument::loadResource(type, name);
        QImage image(baseUrl().resolved(name).toLocalFile());
        if (image.width() > kWidestImagePx)
            image = image.scaledToWidth(kWidestImagePx, Qt::SmoothTransformation);
        return image;
    }
};

// A heading that ends a page moves to the next one, with what it heads. The document's own
// pagination knows no "keep with next": the first heading whose next block starts on a later page
// gets a page break before it, the whole document is laid out again, and so on until none is left.
void keepHeadingsWithTheirText(QTextDocument& manual)
{
    const qreal pageHeight = manual.pageSize().height();
    QAbstractTextDocumentLayout* layout = manual.documentLayout();
    // By its first line: a line that does not fit moves to the next page, its block stays.
    const auto pageOf = [&](const QTextBlock& block) {
        const qreal top = layout->blockBoundingRect(block).top() +
                          (block.layout()->lineCount() > 0 ? block.layout()->lineAt(0).y() : 0);
        return static_cast<int>(top / pageHeight);
    };
    for (QTextBlock block = manual.begin(); block.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        if (block.blockFormat().headingLevel() == 0 || !next.isValid() ||
            pageOf(next) == pageOf(block))
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
        manual.markContentsDirty(0, manual.characterCount());
    }
}

// Each page of the laid-out manual, with its number at the bottom right.
void printPages(QTextDocument& manual, QPdfWriter& pdf)
{
    QPainter painter(&pdf);
    const QSizeF page = manual.pageSize();
    for (int i = 0; i < manual.pageCount(); ++i) {
        if (i > 0)
            pdf.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        manual.drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
        painter.restore();
        painter.setFont(manual.defaultFont());
        painter.drawText(QRectF(0, page.height(), page.width(), kFooterPx),
                         Qt::AlignRight | Qt::AlignBottom, QString::number(i + 1));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: manual-pdf MANUAL.md OUT.pdf\n");
        return 2;
    }
    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "manual-pdf: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }

    ManualDocument manual;
    manual.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), kBodyPointSize));
    manual.setBaseUrl(QUrl::fromLocalFile(QFileInfo(args[1]).absolutePath() + QLatin1Char('/')));
    manual.setMarkdown(QString::fromUtf8(source.readAll()));

    QPdfWriter pdf(args[2]);
    pdf.setResolution(kResolutionDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                  QPageLayout::Millimeter));
    pdf.setTitle(QStringLiteral("Zentor Data Logger User Manual"));
    pdf.setCreator(QStringLiteral("QXV Zentor DL"));
    // Laid out on the page here rather than by the document's print(), which puts margins of its
    // own inside the page's and cuts off a picture wider than what is left.
    manual.documentLayout()->setPaintDevice(&pdf);
    manual.setPageSize(QSizeF(pdf.width(), pdf.height() - kFooterPx));
    keepHeadingsWithTheirText(manual);
    printPages(manual, pdf);
    if (!QFileInfo(args[2]).size()) {
        std::fprintf(stderr, "manual-pdf: could not write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
