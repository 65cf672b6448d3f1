// manual-pdf MANUAL.md OUT.pdf: renders the user manual, written in Markdown, to the PDF that the
// data logger's Help > User Manual opens. It runs at build time, with the toolkit's own Markdown
// reader and PDF writer; images are found relative to the Markdown file.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <cstdio>

namespace {

constexpr int kResolutionDpi = 96; // the screenshots' own, so they print at their size
constexpr double kMarginMm = 20.0;
constexpr int kBodyPointSize = 10;
constexpr int kWidestImagePx = 600; // within the text width of an A4 page at kResolutionDpi

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
    manual.print(&pdf);
    if (!QFileInfo(args[2]).size()) {
        std::fprintf(stderr, "manual-pdf: could not write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
