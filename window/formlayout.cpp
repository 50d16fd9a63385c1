// SPDX-License-Identifier: MIT

#include "window/formlayout.h"

#include "platform/formfont.h"
#include "platform/palette.h"
#include "platform/twips.h"
#include "plot/plotwidget.h"
#include "window/messages.h"
#include "window/sampleview.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

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

QRadioButton *makeOption(QWidget *parent, const char *name, const QString &caption, QRect twips,
                         qreal pointSize)
{
    auto *option = place(new QRadioButton(caption, parent), name, twips, pointSize);
    setBackground(option, kOptionBackground);
    return option;
}

QLineEdit *makeText(QWidget *parent, fields::Field field, QRect twips, qreal pointSize)
{
    const fields::FieldInfo &info = fields::info(field);
    // The font before the text: a field made with its text lays it out at once in the
    // default face, only to lay it out again in its own.
    auto *text = new QLineEdit(parent);
    text->setObjectName(messages::fromAscii(info.control));
    text->setGeometry(twips);
    text->setFont(formFont(pointSize));
    text->setText(messages::fromAscii(info.defaultText));
    // A screen reader names the field by what it holds, "Start abscissa x0".
    QString name = messages::fromAscii(info.holds);
    name[0] = name[0].toUpper();
    text->setAccessibleName(name);
    return text;
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

void makeOptions(QWidget *form, FormControls &c)
{
    // Where each option stands; its caption, and its equation in words a screen reader
    // speaks well, come from the equation's description.
    struct OptionPlace
    {
        const char *name;
        QRect twips;
        qreal pointSize;
    };
    static const OptionPlace kOptions[] = {
        {"Option1", twipsRect(6840, 120, 1815, 375), 9.75},
        {"Option2", twipsRect(6840, 480, 1815, 375), 9},
        {"Option3", twipsRect(6840, 840, 1815, 375), 9},
        {"Option4", twipsRect(6840, 1200, 1815, 495), 9},
        {"Option5", twipsRect(6840, 1680, 1215, 375), 9},
        {"Option6", twipsRect(6840, 2040, 1215, 375), 9},
    };
    // One group for all six: choosing one clears the others, and none is chosen at first.
    c.optionGroup = new QButtonGroup(form);
    for (std::size_t i = 0; i < c.options.size(); ++i) {
        const OptionPlace &o = kOptions[i];
        const int number = static_cast<int>(i) + 1;
        const solver::Equation &eq = **solver::equationNumbered(number);
        const QString caption = QString::fromUtf8(eq.caption.data(), qsizetype(eq.caption.size()));
        c.options[i] = makeOption(form, o.name, caption, o.twips, o.pointSize);
        // The equation written out, and in words for a screen reader.
        const QString written = QString::fromUtf8(eq.written.data(), qsizetype(eq.written.size()));
        c.options[i]->setToolTip(written);
        c.options[i]->setAccessibleDescription(written + QStringLiteral(" — ") +
                                               messages::fromAscii(eq.spoken));
        c.optionGroup->addButton(c.options[i], number);
    }
}

void makeTexts(QWidget *form, FormControls &c)
{
    using fields::Field;
    c.texts[0] = makeText(form, Field::X0, twipsRect(1320, 6720, 735, 360), 12);
    c.texts[1] = makeText(form, Field::Xf, twipsRect(5640, 6720, 735, 330), 11.25);
    c.texts[2] = makeText(form, Field::Y0, twipsRect(2040, 6720, 735, 375), 11.25);
    c.texts[3] = makeText(form, Field::Z0, twipsRect(2760, 6720, 855, 375), 11.25);
    c.texts[4] = makeText(form, Field::N, twipsRect(8040, 1680, 615, 390), 11.25);
    c.texts[5] = makeText(form, Field::Lam, twipsRect(8040, 2040, 615, 375), 12);
}

void makePlot(QWidget *form, FormControls &c)
{
    // The plot starts above the client area, as in the window description.
    c.picture1 = new PlotWidget(twipsToPixels(6735), form);
    c.picture1->setObjectName(QStringLiteral("Picture1"));
    c.picture1->move(twipsToPixels(0), twipsToPixels(-120));
    c.picture1->setAccessibleName(QObject::tr("Plot"));
    c.picture1->setAccessibleDescription(
        QObject::tr("The runs since the last Ready, on a fixed scale: x and y from -5 to 15"));

    // The Emden legend lies on the plot, opaque in its background colour, hidden; each
    // label in the colour of the dots it names.
    const QRgb plotBackground = PlotSurface::kBackground;
    c.legend[0] = makeLabel(c.picture1, "Label4", "u ,  T", twipsRect(1920, 120, 855, 240), 12,
                            plotBackground);
    c.legend[1] =
        makeLabel(c.picture1, "Label5", "ρ", twipsRect(1920, 480, 270, 240), 12, plotBackground);
    c.legend[2] =
        makeLabel(c.picture1, "Label6", "P", twipsRect(1920, 840, 180, 240), 12, plotBackground);
    setColour(c.legend[0], QPalette::WindowText, paletteRgb(kLightRed));
    setColour(c.legend[2], QPalette::WindowText, paletteRgb(kGreen));
    for (QLabel *label : c.legend)
        label->hide();
}

// The Tab key visits the controls by their tab index, not in the order they were created.
void setTabOrder(QWidget *form, const FormControls &c)
{
    using fields::Field;
    const QList<QWidget *> order = {
        c.options[0],      c.options[1],      c.options[2], c.command1,   c.text(Field::X0),
        c.text(Field::Xf), c.text(Field::Y0), c.options[3], c.list1,      c.text(Field::Z0),
        c.options[4],      c.text(Field::N),  c.command2,   c.options[5], c.text(Field::Lam)};
    for (qsizetype i = 1; i < order.size(); ++i)
        form->setTabOrder(order[i - 1], order[i]);
}

} // namespace

void typeAndEnter(QWidget *form, const FormControls &c,
                  const std::vector<std::pair<fields::Field, QString>> &texts)
{
    // Exactly what typing would do: the text in the field, then the Return key there,
    // handled by the field's own Enter.
    const auto enterIn = [](QLineEdit *field) {
        field->setFocus(Qt::OtherFocusReason);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(field, &release);
    };
    for (const auto &[field, text] : texts) {
        QLineEdit *edit = c.text(field);
        edit->setFocus(Qt::OtherFocusReason);
        edit->setText(text);
        // Enter in the final field runs: that comes last, once.
        if (field == fields::Field::Xf)
            continue;
        enterIn(edit);
        // A number beyond range was reported and the focus stayed: a user stops there too.
        // (The window's own focus widget: the click came from another window.)
        if (form->focusWidget() != c.text(fields::nextOnEnter(field)))
            return;
    }
    enterIn(c.text(fields::Field::Xf));
}

void uncheckOptions(const FormControls &c)
{
    QAbstractButton *checked = c.optionGroup->checkedButton();
    if (!checked)
        return;
    c.optionGroup->setExclusive(false);
    checked->setChecked(false);
    c.optionGroup->setExclusive(true);
}

FormControls layOutForm(QWidget *form, QAbstractItemModel *samples)
{
    form->setObjectName(QStringLiteral("Form1"));
    form->setWindowTitle(QStringLiteral("RedurIvezi"));
    form->setFixedSize(twipsToPixels(8910), twipsToPixels(7065)); // 594 x 471
    setBackground(form, kFormBackground);

    FormControls c;
    makeOptions(form, c);
    makeTexts(form, c);
    makePlot(form, c);
    c.command1 = place(new QPushButton(QStringLiteral("Ready"), form), "Command1",
                       twipsRect(6960, 3600, 1095, 375), 11.25);
    c.command2 = place(new QPushButton(QStringLiteral("End"), form), "Command2",
                       twipsRect(8040, 3600, 615, 375), 12);
    // "Initial =" and "Final =" label their first fields for a screen reader.
    makeLabel(form, "Label1", "Initial =", twipsRect(360, 6720, 945, 300), 12, kLabelBackground)
        ->setBuddy(c.text(fields::Field::X0));
    makeLabel(form, "Label2", "Final =", twipsRect(4680, 6720, 975, 300), 11.25, kLabelBackground)
        ->setBuddy(c.text(fields::Field::Xf));
    makeLabel(form, "Label3", " x      y", twipsRect(6960, 3960, 1695, 375), 11.25,
              kLabelBackground);

    c.list1 = new SampleView(form);
    c.list1->setObjectName(QStringLiteral("List1"));
    c.list1->setGeometry(twipsRect(6960, 4320, 1695, 1860));
    c.list1->setModel(samples);
    c.list1->setAccessibleName(QObject::tr("Samples"));
    c.list1->setAccessibleDescription(
        QObject::tr("One line per grid point: x, three blanks, and y to four decimals"));

    setTabOrder(form, c);
    c.text(fields::Field::X0)->setFocus();
    return c;
}
