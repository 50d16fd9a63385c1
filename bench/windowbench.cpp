// Times a long run in the real window on the offscreen platform: the Enter in the final
// field, from the key press until the handler returns with the plot drawn and every
// sample listed.
//
//     QT_QPA_PLATFORM=offscreen window_bench [points]     (default 10^6)

#include "platform/samplelist.h"
#include "window/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

double runOnce(Form1 &form, int option, double points)
{
    form.findChild<QRadioButton *>(QStringLiteral("Option%1").arg(option))->click();
    for (const char *name : {"Text1", "Text3", "Text4"})
        QTest::keyClick(form.findChild<QLineEdit *>(QLatin1String(name)), Qt::Key_Return);
    auto *text2 = form.findChild<QLineEdit *>(QStringLiteral("Text2"));
    text2->setText(QString::number((points - 1) / 100, 'g', 17));
    const auto start = std::chrono::steady_clock::now();
    QTest::keyClick(text2, Qt::Key_Return);
    QApplication::processEvents(); // the repaint of plot and list
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const double points = argc > 1 ? std::atof(argv[1]) : 1e6;
    Form1 form;
    form.show();
    for (const int option : {2, 4}) {
        const int before = form.samples().rowCount();
        const double s = runOnce(form, option, points);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("option %d: %.0f points in %.3f s, %.0f ns per point, %d rows listed, "
                    "peak RSS %ld MiB\n",
                    option, points, s, s / points * 1e9, form.samples().rowCount() - before,
                    usage.ru_maxrss / 1024);
    }
    return 0;
}
