#include "window/form1.h"

#include "listing/numbertext.h"
#include "platform/formfont.h"
#include "platform/palette.h"
#include "platform/samplelist.h"
#include "platform/texttonumber.h"
#include "platform/twips.h"
#include "plot/marks.h"
#include "plot/plotwidget.h"
#include "window/listexport.h"
#include "window/sampleview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace {

constexpr QRgb kFormBackground = 0xFF8080FF;   // RGB(128, 128, 255)
constexpr QRgb kOptionBackground = 0xFFFFE0C0; // RGB(255, 224, 192)
constexpr QRgb kLabelBackground = 0xFF80FF80;  // RGB(128, 255, 128)

void setColour(QWidget *w, QPalette::ColorRole role, QRgb rgb)
{
    QPalette p = w->palette();
    p.setColor(role, QColor::fromRgb(rgb));
    w->setPalette(p);
}

void setBackground(QWidget *w, QRgb rgb)
{
    setColour(w, w->backgroundRole(), rgb);
    w->setAutoFillBackground(true);
}

template<typename W>
W *place(W *w, const char *name, QRect twips, qreal pointSize, bool italic = false)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(twips);
    w->setFont(formFont(pointSize, italic));
    return w;
}

QRadioButton *makeOption(QWidget *parent, const char *name, const char *caption, QRect twips,
                         qreal pointSize)
{
    auto *option =
        place(new QRadioButton(QString::fromUtf8(caption), parent), name, twips, pointSize);
    setBackground(option, kOptionBackground);
    return option;
}

QLineEdit *makeText(QWidget *parent, const char *name, const char *text, QRect twips,
                    qreal pointSize)
{
    return place(new QLineEdit(QString::fromLatin1(text), parent), name, twips, pointSize);
}

QLabel *makeLabel(QWidget *parent, const char *name, const char *caption, QRect twips,
                  qreal pointSize, QRgb background)
{
    auto *label =
        place(new QLabel(QString::fromUtf8(caption), parent), name, twips, pointSize, true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackground(label, background);
    return label;
}

// The window's receiver of a run: each sample is drawn first, then listed. A sample
// whose marks have no value is neither finished on the plot nor listed. Every so many
// samples it lets the window show how far the run has come.
class RunSink : public SampleSink
{
public:
    RunSink(PlotSurface &surface, SampleList &list, int eq, double n,
            std::function<void()> progress)
        : m_surface(surface), m_list(list), m_eq(eq), m_n(n), m_progress(std::move(progress))
    {
    }

    Fault start(double x0, double y0) override
    {
        m_list.startRun(x0);
        const MarkList marks = startMarks(x0, y0);
        m_surface.draw(marks);
        return marks.fault;
    }

    Fault sample(double x, double y) override
    {
        // A sample that cannot be listed is not drawn either.
        if (m_list.full())
            return Fault::ListFull;
        const MarkList marks = sampleMarks(m_eq, m_n, x, y);
        m_surface.draw(marks);
        if (!marks.ok())
            return marks.fault;
        // The list recomputes x from the run's x0 and the grid index.
        Q_ASSERT(x == m_list.nextAbscissa());
        m_list.append(y);
        if (--m_untilProgress == 0) {
            m_untilProgress = kProgressEvery;
            m_progress();
        }
        return Fault::None;
    }

private:
    // Often enough for a tenth of a second at any speed, rare enough to cost nothing.
    static constexpr int kProgressEvery = 1024;

    PlotSurface &m_surface;
    SampleList &m_list;
    int m_eq;
    double m_n;
    std::function<void()> m_progress;
    int m_untilProgress = kProgressEvery;
};

// A field's text as a message shows it: a pasted page of digits is cut short, and
// control characters become visible.
QString quotedForMessage(const QString &text)
{
    qsizetype kept = std::min<qsizetype>(text.size(), 40);
    if (kept < text.size() && text[kept - 1].isHighSurrogate())
        --kept; // never half a character
    QString shown;
    for (qsizetype i = 0; i < kept; ++i) {
        const QChar c = text[i];
        shown += c.isPrint() || c.isSurrogate() ? c : QChar(0xFFFD);
    }
    if (kept < text.size())
        shown += Form1::tr("… (%1 characters)").arg(text.size());
    return shown;
}

// What a field holds, for messages.
QString fieldDescription(const QLineEdit *field)
{
    const QString name = field->objectName();
    if (name == QLatin1String("Text1"))
        return Form1::tr("the start abscissa x0");
    if (name == QLatin1String("Text3"))
        return Form1::tr("the start value y(x0)");
    if (name == QLatin1String("Text4"))
        return Form1::tr("the start slope y'(x0)");
    if (name == QLatin1String("Text2"))
        return Form1::tr("the final abscissa");
    if (name == QLatin1String("Text5"))
        return Form1::tr("the Emden index n");
    return Form1::tr("the Cosmos coefficient lam");
}

} // namespace

Form1::Form1(QWidget *parent) : Form1(SampleList::kDefaultCapacity, kProgressInterval, parent) {}

Form1::Form1(std::size_t listCapacity, int progressInterval, QWidget *parent)
    : QWidget(parent), m_samples(new SampleList(listCapacity, this)),
      m_progressInterval(progressInterval)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("RedurIvezi"));
    setFixedSize(twipsToPixels(8910), twipsToPixels(7065)); // 594 x 471
    setBackground(this, kFormBackground);

    createControls();
    createActions();
    connectEvents();
    load();
}

Form1::~Form1() = default;

PlotSurface &Form1::surface()
{
    return m_picture1->surface();
}

void Form1::createControls()
{
    // Created in tab order, which Qt then follows.
    m_options[0] =
        makeOption(this, "Option1", "y'' + y = 0", twipsRect(6840, 120, 1815, 375), 9.75);
    m_options[1] =
        makeOption(this, "Option2", "y'' + 2y = sin x", twipsRect(6840, 480, 1815, 375), 9);
    m_options[2] =
        makeOption(this, "Option3", "y''+ 6y'+ 5y= 0", twipsRect(6840, 840, 1815, 375), 9);
    m_command1 = place(new QPushButton(QStringLiteral("Ready"), this), "Command1",
                       twipsRect(6960, 3600, 1095, 375), 11.25);

    // The plot starts above the client area, as in the window description.
    m_picture1 = new PlotWidget(twipsToPixels(6735), this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->move(twipsToPixels(0), twipsToPixels(-120));

    m_text1 = makeText(this, "Text1", "0", twipsRect(1320, 6720, 735, 360), 12);
    m_text2 = makeText(this, "Text2", "5", twipsRect(5640, 6720, 735, 330), 11.25);
    makeLabel(this, "Label1", "Initial =", twipsRect(360, 6720, 945, 300), 12, kLabelBackground);
    makeLabel(this, "Label2", "Final =", twipsRect(4680, 6720, 975, 300), 11.25, kLabelBackground);
    makeLabel(this, "Label3", " x      y", twipsRect(6960, 3960, 1695, 375), 11.25,
              kLabelBackground);
    m_text3 = makeText(this, "Text3", "0.01", twipsRect(2040, 6720, 735, 375), 11.25);
    m_options[3] =
        makeOption(this, "Option4", "y''-(1-yy)y'+y=0", twipsRect(6840, 1200, 1815, 495), 9);

    m_list1 = new SampleView(this);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setGeometry(twipsRect(6960, 4320, 1695, 1860));
    m_list1->setModel(m_samples);

    m_text4 = makeText(this, "Text4", "16.947", twipsRect(2760, 6720, 855, 375), 11.25);
    m_options[4] = makeOption(this, "Option5", "Emden", twipsRect(6840, 1680, 1215, 375), 9);
    m_text5 = makeText(this, "Text5", "2", twipsRect(8040, 1680, 615, 390), 11.25);

    // The Emden legend lies on the plot, opaque in its background colour, hidden.
    const QRgb plotBackground = PlotSurface::kBackground;
    m_label4 = makeLabel(m_picture1, "Label4", "u ,  T", twipsRect(1920, 120, 855, 240), 12,
                         plotBackground);
    m_label5 =
        makeLabel(m_picture1, "Label5", "ρ", twipsRect(1920, 480, 270, 240), 12, plotBackground);
    m_label6 =
        makeLabel(m_picture1, "Label6", "P", twipsRect(1920, 840, 180, 240), 12, plotBackground);
    // Each label in the colour of the dots it names.
    setColour(m_label4, QPalette::WindowText, paletteRgb(kLightRed));
    setColour(m_label6, QPalette::WindowText, paletteRgb(kGreen));
    m_label4->hide();
    m_label5->hide();
    m_label6->hide();

    m_command2 = place(new QPushButton(QStringLiteral("End"), this), "Command2",
                       twipsRect(8040, 3600, 615, 375), 12);
    m_options[5] = makeOption(this, "Option6", "Cosmos", twipsRect(6840, 2040, 1215, 375), 9);
    m_text6 = makeText(this, "Text6", "1", twipsRect(8040, 2040, 615, 375), 12);

    // One group for all six: choosing one clears the others, and none is chosen at first.
    m_optionGroup = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i)
        m_optionGroup->addButton(m_options[static_cast<std::size_t>(i)], i + 1);

    const QList<QWidget *> tabOrder = {m_options[0], m_options[1], m_options[2], m_command1,
                                       m_text1,      m_text2,      m_text3,      m_options[3],
                                       m_list1,      m_text4,      m_options[4], m_text5,
                                       m_command2,   m_options[5], m_text6};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    m_text1->setFocus();
}

void Form1::connectEvents()
{
    // Whichever way an option becomes chosen, by a click or by the arrow keys.
    connect(m_optionGroup, &QButtonGroup::idToggled, this, [this](int eq, bool checked) {
        if (checked)
            m_state.eq = eq;
    });
    connect(m_text1, &QLineEdit::returnPressed, this, &Form1::enterInText1);
    connect(m_text3, &QLineEdit::returnPressed, this, &Form1::enterInText3);
    connect(m_text4, &QLineEdit::returnPressed, this, &Form1::enterInText4);
    connect(m_text2, &QLineEdit::returnPressed, this, &Form1::enterInText2);
    connect(m_command1, &QPushButton::clicked, this, &Form1::ready);
    connect(m_command2, &QPushButton::clicked, this, &Form1::end);
}

void Form1::load()
{
    drawStartupAxes(surface());
}

bool Form1::capture(QLineEdit *field, double &target)
{
    const auto value = textToNumber(field->text().toStdString());
    if (!value) {
        warn(tr("The number for %1 is beyond the range of a double:\n%2")
                 .arg(fieldDescription(field), quotedForMessage(field->text())));
        return false;
    }
    target = *value;
    return true;
}

// The Enter key moves along Text1 -> Text3 -> Text4 -> Text2, whatever the tab order.
void Form1::enterInText1()
{
    if (capture(m_text1, m_state.x0))
        m_text3->setFocus();
}

void Form1::enterInText3()
{
    if (capture(m_text3, m_state.y0))
        m_text4->setFocus();
}

void Form1::enterInText4()
{
    if (capture(m_text4, m_state.z0))
        m_text2->setFocus();
}

void Form1::enterInText2()
{
    // In this order; a number beyond range ends the handling where it is found.
    if (capture(m_text5, m_state.n) && capture(m_text6, m_state.lam) &&
        capture(m_text2, m_state.xf))
        startRun();
}

void Form1::startRun()
{
    const RunParameters p{m_state.eq, m_state.x0, m_state.y0, m_state.z0,
                          m_state.xf, m_state.n,  m_state.lam};
    m_runFirstRow = m_samples->rowCount();
    m_runClock.start();
    m_lastProgress = 0;
    m_waitCursor = false;
    RunSink sink(surface(), *m_samples, m_state.eq, m_state.n, [this] { showProgress(); });

    // The run holds the only thread until it ends. Progress is painted directly, so no
    // input event is dispatched meanwhile: what is typed or clicked waits in the queue and
    // is handled afterwards, in order.
    const RunOutcome outcome = run(p, sink);
    publishRows();
    m_picture1->update();
    if (m_waitCursor)
        QApplication::restoreOverrideCursor();

    if (outcome.fault == Fault::ListFull) {
        warn(tr("The list is full (%1 lines). The run stopped at x = %2. Ready clears it.")
                 .arg(QLocale(QLocale::English).toString(qulonglong(m_samples->capacity())),
                      QString::fromStdString(generalText(outcome.faultX))));
    } else if (outcome.failed()) {
        // Only the run ends: the plot, the list and the captured values stay as they are.
        const std::string_view text = faultText(outcome.fault);
        QString what = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        what[0] = what[0].toUpper();
        warn(tr("%1 at x = %2.\n\nThe run stopped there; the plot and the list keep what came "
                "before it.")
                 .arg(what, QString::fromStdString(generalText(outcome.faultX))));
    }
}

void Form1::publishRows()
{
    const int before = m_samples->rowCount();
    m_samples->commit();
    // The list shows the newest run from its first line.
    if (before == m_runFirstRow && m_runFirstRow < m_samples->rowCount())
        m_list1->showAtTop(m_runFirstRow);
}

void Form1::showProgress()
{
    const qint64 now = m_runClock.elapsed();
    if (now - m_lastProgress < m_progressInterval)
        return;
    m_lastProgress = now;
    if (!m_waitCursor) {
        // Only a run that lasts longer than a moment shows it.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_waitCursor = true;
    }
    publishRows();
    // repaint(), not update(): painted and flushed now, with no trip through the event
    // queue, which holds the user's input until the run is over.
    m_list1->refresh();
    m_picture1->repaint();
}

void Form1::ready()
{
    drawResetAxes(surface());
    m_picture1->update();
    updateLegend();
    m_samples->clear();
    m_text1->setFocus();
}

void Form1::updateLegend()
{
    const bool emden = m_state.eq == kEquationEmden;
    m_label4->setVisible(emden);
    m_label5->setVisible(emden);
    m_label6->setVisible(emden);
}

void Form1::end()
{
    // At once and without a question: no window is left behind.
    hide();
    QCoreApplication::quit();
}

void Form1::createActions()
{
    auto make = [this](const char *name, const QString &text, void (Form1::*slot)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_copyAction = make("copyAction", tr("Copy"), &Form1::copySelection);
    m_copyAllAction = make("copyAllAction", tr("Copy All"), &Form1::copyAll);
    m_saveListAction = make("saveListAction", tr("Save List As…"), &Form1::saveListAs);
    m_saveImageAction = make("saveImageAction", tr("Save Image As…"), &Form1::saveImageAs);
    m_copyImageAction = make("copyImageAction", tr("Copy Image"), &Form1::copyImage);

    // Ctrl+C while the list has the focus; Ctrl+A is the view's own select-all.
    m_copyAction->setShortcut(QKeySequence::Copy);
    m_copyAction->setShortcutContext(Qt::WidgetShortcut);
    m_list1->addAction(m_copyAction);

    m_list1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list1, &QWidget::customContextMenuRequested, this, &Form1::showListMenu);
    m_picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_picture1, &QWidget::customContextMenuRequested, this, &Form1::showPlotMenu);
}

void Form1::showListMenu(QPoint pos)
{
    m_copyAction->setEnabled(m_list1->selectionModel()->hasSelection());
    m_copyAllAction->setEnabled(m_samples->rowCount() > 0);
    m_saveListAction->setEnabled(m_samples->rowCount() > 0);
    QMenu menu(this);
    menu.addAction(m_copyAction);
    menu.addAction(m_copyAllAction);
    menu.addSeparator();
    menu.addAction(m_saveListAction);
    menu.exec(m_list1->viewport()->mapToGlobal(pos));
    m_copyAction->setEnabled(true); // the shortcut checks the selection itself
}

void Form1::showPlotMenu(QPoint pos)
{
    QMenu menu(this);
    menu.addAction(m_saveImageAction);
    menu.addAction(m_copyImageAction);
    menu.exec(m_picture1->mapToGlobal(pos));
}

namespace {

void setClipboardText(QByteArray text)
{
    // As bytes: ten million lines are 200 MB this way, twice that as a QString.
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("text/plain"), text);
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace

void Form1::copySelection()
{
    // The selection is a set of row ranges, in the order they were made; the lines go
    // out in list order, each once.
    std::vector<std::pair<int, int>> spans;
    for (const QItemSelectionRange &r : m_list1->selectionModel()->selection())
        spans.emplace_back(r.top(), r.bottom());
    if (spans.empty())
        return;
    std::sort(spans.begin(), spans.end());
    QByteArray text;
    int next = 0; // the first row not yet copied
    for (auto [top, bottom] : spans) {
        top = std::max(top, next);
        if (top > bottom)
            continue;
        text += listexport::text(*m_samples, top, bottom, listexport::Format::Lines);
        next = bottom + 1;
    }
    setClipboardText(std::move(text));
}

void Form1::copyAll()
{
    setClipboardText(listexport::text(*m_samples, 0, m_samples->rowCount() - 1,
                                      listexport::Format::Lines));
}

QImage Form1::plotImage() const
{
    // Rendered like the screen, legend labels included, at the screen's pixel ratio.
    return m_picture1->grab().toImage();
}

void Form1::copyImage()
{
    QGuiApplication::clipboard()->setImage(plotImage());
}

namespace {

// Asks for a file name; an answer without a suffix gets the one of the chosen type.
QString askForFile(QWidget *parent, const QString &caption, const QString &name,
                   const QStringList &filters)
{
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(parent, caption, name, filters.join(QLatin1String(";;")),
                                                &chosenFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        // "Text (*.txt)" -> ".txt"
        const qsizetype star = chosenFilter.indexOf(QLatin1String("*."));
        if (star >= 0)
            path += chosenFilter.mid(star + 1, chosenFilter.indexOf(u')', star) - star - 1);
    }
    return path;
}

} // namespace

void Form1::saveListAs()
{
    const QString path = askForFile(this, tr("Save List As"), QStringLiteral("list.txt"),
                                    {tr("Text (*.txt)"), tr("CSV (*.csv)")});
    if (!path.isEmpty())
        saveListTo(path);
}

void Form1::saveImageAs()
{
    const QString path =
        askForFile(this, tr("Save Image As"), QStringLiteral("plot.png"), {tr("PNG image (*.png)")});
    if (!path.isEmpty())
        saveImageTo(path);
}

bool Form1::saveListTo(const QString &path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<QString> error = listexport::saveList(*m_samples, path);
    QApplication::restoreOverrideCursor();
    if (error)
        warn(*error);
    return !error;
}

bool Form1::saveImageTo(const QString &path)
{
    const std::optional<QString> error = listexport::saveImage(plotImage(), path);
    if (error)
        warn(*error);
    return !error;
}

void Form1::warn(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    // The message may quote what was typed: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
