#include "window/windowfixture.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>
#include <cmath>

using namespace duva;
using duva::test::Fixture;

namespace
{

// The text a control shows, whatever its kind.
QString shownText(QWidget* control)
{
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title();
    return QString();
}

// Relative luminance, as contrast ratios are reckoned.
double luminance(const QColor& colour)
{
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

} // namespace

class FormTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_f = std::make_unique<Fixture>(QStringLiteral("127.0.0.1"), false); }
    void cleanup() { m_f.reset(); }

    void window()
    {
        QCOMPARE(m_f->form->windowTitle(), QStringLiteral("Configurador Módulos DUVA - v1.74"));
        const QList<QSize> iconSizes = m_f->form->windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(64, 64)));
        QCOMPARE(m_f->form->size(), QSize(786, 571));
        QCOMPARE(m_f->form->minimumSize(), QSize(786, 571));
        QCOMPARE(m_f->form->maximumSize(), QSize(786, 571));
        const Qt::WindowFlags flags = m_f->form->windowFlags();
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));

        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2((m_f->form->geometry().center() - screen.center()).manhattanLength() <= 2,
                 "the window is centred on the screen");
        QVERIFY(m_f->presenter->informations.isEmpty() && m_f->presenter->errors.empty());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry"); // width or height -1: the caption's size
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("checked"); // -1: not a check box or radio button

        const auto row = [](const char* name, const char* parent, QRect geometry, const char* text,
                            bool enabled = true, bool visible = true, int checked = -1) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(parent)
                                << geometry << QString::fromUtf8(text) << enabled << visible
                                << checked;
        };
        const auto at = [](int left, int top) { return QRect(left, top, -1, -1); };
        const auto edit = [](int left, int top) { return QRect(left, top, -1, 21); };

        row("Panel2", "Form1", QRect(6, 48, 471, 518), "");
        row("Panel1", "Panel2", QRect(19, 28, 190, 33), "");
        row("Label11", "Panel1", at(14, 7), "Procurar módulos na rede");
        row("CheckBox8", "Panel2", at(239, 18), "IP FIXO", false, true, 0);
        row("CheckBox7", "Panel2", at(330, 18), "DHCP", false, true, 0);
        row("RadioButton1", "Panel2", at(238, 41), "CLIENTE", false, true, 1);
        row("RadioButton2", "Panel2", at(329, 41), "SERVIDOR", false, true, 0);
        row("Label1", "Panel2", at(241, 62), "IP");
        row("Edit7", "Panel2", edit(240, 78), "");
        row("Edit9", "Panel2", edit(271, 78), "");
        row("Edit16", "Panel2", edit(301, 78), "");
        row("Edit14", "Panel2", edit(331, 78), "");
        row("Label2", "Panel2", at(372, 62), "Porta Local");
        row("Edit11", "Panel2", edit(372, 78), "");
        row("Label3", "Panel2", at(241, 103), "Máscara de sub-rede");
        row("Edit15", "Panel2", edit(240, 119), "");
        row("Edit17", "Panel2", edit(271, 119), "");
        row("Edit18", "Panel2", edit(301, 119), "");
        row("Edit20", "Panel2", edit(331, 119), "");
        row("Label10", "Panel2", at(241, 149), "IP do Gateway");
        row("Edit3", "Panel2", edit(240, 165), "");
        row("Edit4", "Panel2", edit(271, 165), "");
        row("Edit5", "Panel2", edit(301, 165), "");
        row("Edit6", "Panel2", edit(331, 165), "");
        row("Label5", "Panel2", at(241, 194), "IP do Servidor de DNS");
        row("Edit10", "Panel2", edit(240, 210), "");
        row("Edit24", "Panel2", edit(271, 210), "");
        row("Edit25", "Panel2", edit(301, 210), "");
        row("Edit27", "Panel2", edit(332, 210), "");
        row("GroupBox1", "Panel2", QRect(223, 243, 228, 113), "   Modo CLIENTE  ");
        row("Label7", "GroupBox1", at(17, 22), "Domínio ou IP do Servidor");
        row("Edit2", "GroupBox1", edit(17, 38), "");
        row("Label6", "GroupBox1", at(17, 63), "Porta do Servidor");
        row("Edit26", "GroupBox1", edit(17, 79), "");
        row("CheckBox3", "Panel2", at(240, 371), "WatchDog", true, true, 0);
        row("Label4", "Panel2", at(364, 371), "Versão:");
        row("Edit1", "Panel2", edit(411, 369), "000", false);
        row("EditMac1", "Panel2", edit(278, 398), "0", true, false);
        row("EditMac2", "Panel2", edit(306, 398), "0", true, false);
        row("EditMac3", "Panel2", edit(333, 398), "0", true, false);
        row("Label8", "Panel2", at(368, 401), "Nserie:");
        row("LabelNs", "Panel2", at(411, 401), "00000");
        row("CheckBox1", "Panel2", at(296, 488), "Auto Desconectar :", true, false, 1);
        row("Edit8", "Panel2", edit(422, 485), "10", false, false);
        row("CheckBox2", "Form1", at(98, 56), "Alcance extendido", true, true, 0);
        row("Label13", "Panel2", at(20, 63), "Aguarde ...", true, false);
        row("ListBox3", "Form1", QRect(26, 130, 190, 410), "");
        row("Button13", "Panel2", QRect(279, 435, 124, 43), "GRAVAR");
        row("Button2", "Panel2", QRect(240, 397, 25, 25), "+", true, false);
        row("Button3", "Panel2", QRect(216, 445, 49, 25), "RST 69", true, false);
        row("Label14", "Form1", at(9, 26), "IP deste computador: 255.255.255.255");
        row("LabelIP", "Form1", at(15, 7), "3 prim. dígitos do IP:", true, false);
        row("EditIP1", "Form1", edit(143, 5), "", true, false);
        row("EditIP2", "Form1", edit(172, 5), "", true, false);
        row("EditIP3", "Form1", edit(200, 5), "", true, false);
        row("ButtonIP", "Form1", at(236, 5), "OK", true, false);
        row("Label18", "Form1", at(491, 17), "Lidos:");
        row("ListBox1", "Form1", QRect(488, 17, 81, 528), "");
        row("Label19", "Form1", at(582, 17), "Enviados p/ gravação:");
        row("ListBox2", "Form1", QRect(583, 16, 82, 529), "");
        row("Button21", "Form1", at(716, 190), "limpa");
        row("Button1", "Form1", at(716, 225), "Base");
        row("Image1", "Form1", QRect(400, 3, 75, 41), "");
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        QFETCH(bool, visible);
        QFETCH(int, checked);

        QWidget* widget = control(name);
        QVERIFY(widget);
        QVERIFY(widget->parentWidget());
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        QCOMPARE(widget->pos(), geometry.topLeft());
        if (geometry.width() >= 0)
            QCOMPARE(widget->width(), geometry.width());
        if (geometry.height() >= 0)
            QCOMPARE(widget->height(), geometry.height());
        // Labels and boxes sized by their captions show the whole caption.
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget) ||
            qobject_cast<QRadioButton*>(widget))
            QVERIFY(widget->width() >= widget->sizeHint().width());
        QCOMPARE(shownText(widget), text);
        QCOMPARE(widget->isEnabled(), enabled);
        QCOMPARE(!widget->isHidden(), visible);
        if (checked >= 0) {
            auto* box = qobject_cast<QAbstractButton*>(widget);
            QVERIFY(box);
            QCOMPARE(box->isChecked(), checked == 1);
        }
    }

    void controlsFitTogether()
    {
        const QList<QWidget*> all = m_f->form->findChildren<QWidget*>();
        QList<QWidget*> inputs;
        for (QWidget* widget : all) {
            const QWidget* parent = widget->parentWidget();
            if (widget->isWindow() ||
                (parent != m_f->form.get() && parent != m_f->form->Panel2 &&
                 parent != m_f->form->Panel1 && parent != m_f->form->GroupBox1))
                continue; // message boxes, and the parts of Qt's own widgets
            QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()),
                     qPrintable(widget->objectName()));
            if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget))
                inputs << widget;
        }
        // No edit, box or button covers another one, shown or hidden.
        for (QWidget* a : inputs)
            for (QWidget* b : inputs)
                if (a != b && a->parentWidget() == b->parentWidget())
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + " and " + b->objectName()));
    }

    void configurationStartsEmpty()
    {
        for (TListBox* list : {m_f->form->ListBox1, m_f->form->ListBox2, m_f->form->ListBox3})
            QCOMPARE(list->count(), 0);
        // The reply counter is right-aligned and stays in view, below the module list's right end.
        QCOMPARE(m_f->form->Label29->parentWidget(), m_f->form->Panel2);
        QCOMPARE(m_f->form->Label29->text(), QStringLiteral("0:"));
        QVERIFY(m_f->form->Label29->alignment() & Qt::AlignRight);
        QVERIFY(!m_f->form->Label29->isHidden());
        QCOMPARE(m_f->form->Label29->y(), 493);
        const int right = m_f->form->Label29->geometry().right();
        QVERIFY2(right >= 205 && right <= 215, qPrintable(QString::number(right)));
        QVERIFY(m_f->form->Label29->width() >=
                m_f->form->Label29->fontMetrics().horizontalAdvance(QStringLiteral("100:")));
        // The status line can hold its longest text.
        QVERIFY(m_f->form->Label13->width() >= m_f->form->Label13->fontMetrics().horizontalAdvance(
                                                   QStringLiteral("Selecione um dos IP´s abaixo")));
        QVERIFY(m_f->form->LabelNs->width() >=
                m_f->form->LabelNs->fontMetrics().horizontalAdvance(QStringLiteral("16777215")));
    }

    void fonts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("freeFace"); // drawn where the Windows font is not installed
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");

        const auto row = [](const char* tag, const char* name, const char* family, int points,
                            bool bold, bool italic) {
            QString windows(family);
#ifdef Q_OS_WIN
            // DirectWrite cannot draw the bitmap MS Sans Serif; its TrueType successor it can.
            if (windows == QLatin1String("MS Sans Serif"))
                windows = QStringLiteral("Microsoft Sans Serif");
#endif
            const QString freeFace = windows == QLatin1String("Calibri")
                                         ? QStringLiteral("Carlito")
                                         : QStringLiteral("Liberation Sans");
            QTest::newRow(tag) << QString(name) << windows << freeFace << points << bold << italic;
        };
        row("window", "", "MS Sans Serif", 8, false, false);
        row("Panel2", "Panel2", "Calibri", 8, true, false);
        row("on Panel2", "CheckBox8", "Calibri", 8, true, false);
        row("on Panel1", "Label11", "Calibri", 8, true, false);
        row("in GroupBox1", "Label7", "Calibri", 8, true, false);
        row("edit", "Edit7", "Arial", 8, true, false);
        row("edit in GroupBox1", "Edit2", "Arial", 8, true, false);
        row("edit on window", "EditIP1", "Arial", 8, true, false);
        row("ListBox3", "ListBox3", "Arial", 8, true, false);
        row("Button13", "Button13", "Arial", 12, true, false);
        row("Label14", "Label14", "Calibri", 11, true, false);
        row("Label13", "Label13", "Calibri", 8, true, true);
        row("CheckBox2", "CheckBox2", "MS Sans Serif", 8, false, false);
        row("ListBox1", "ListBox1", "MS Sans Serif", 7, false, false);
        row("ListBox2", "ListBox2", "MS Sans Serif", 7, false, false);
    }

    void fonts()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(QString, freeFace);
        QFETCH(int, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);

        QWidget* widget = name.isEmpty() ? m_f->form.get() : control(name);
        QVERIFY(widget);
        // The face drawn is the form's Windows font, or where that is not installed its free
        // face with the same metrics, whichever name the font was asked for by.
        const QString asked = widget->font().family();
        QVERIFY2(asked == family || asked == freeFace, qPrintable(asked));
        const QString drawn = QFontInfo(widget->font()).family();
        QVERIFY2(drawn == family || drawn == freeFace, qPrintable(drawn));
        QCOMPARE(widget->font().pointSize(), points);
        QCOMPARE(widget->font().bold(), bold);
        QCOMPARE(widget->font().italic(), italic);
    }

    void colours()
    {
        const QColor navy(0, 0, 128);
        const QColor white(Qt::white);
        QCOMPARE(m_f->form->palette().color(QPalette::Window), white);
        QVERIFY(m_f->form->autoFillBackground());
        QCOMPARE(m_f->form->Panel2->palette().color(QPalette::Window), QColor(0xC8, 0xC8, 0xC8));
        QVERIFY(m_f->form->Panel2->autoFillBackground());
        QCOMPARE(m_f->form->Label1->palette().color(QPalette::WindowText), navy);
        QCOMPARE(m_f->form->CheckBox3->palette().color(QPalette::WindowText), navy);
        QCOMPARE(m_f->form->Edit7->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(m_f->form->ListBox3->palette().color(QPalette::Text), navy);
        QCOMPARE(m_f->form->Label14->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(m_f->form->Label13->palette().color(QPalette::WindowText), white);

        // The byte-list headings cannot be seen: white text on the white window, under the lists.
        const QObjectList& order = m_f->form->children();
        for (auto [heading, list] :
             {std::pair<TLabel*, TListBox*>{m_f->form->Label18, m_f->form->ListBox1},
              {m_f->form->Label19, m_f->form->ListBox2}}) {
            for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                QCOMPARE(heading->palette().color(group, QPalette::WindowText), white);
            QVERIFY(!heading->autoFillBackground());
            QVERIFY(order.indexOf(heading) < order.indexOf(list));
        }
    }

    void captionsAsDrawn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("change"); // "-X" or "+X": control X disabled or enabled first
        QTest::addColumn<bool>("enabled");

        QTest::newRow("IP FIXO at start") << "CheckBox8" << QString() << false;
        QTest::newRow("DHCP at start") << "CheckBox7" << QString() << false;
        QTest::newRow("CLIENTE at start") << "RadioButton1" << QString() << false;
        QTest::newRow("SERVIDOR at start") << "RadioButton2" << QString() << false;
        QTest::newRow("search resting") << "Label11"
                                        << "-Panel1" << false;
        QTest::newRow("IP FIXO enabled") << "CheckBox8"
                                         << "+CheckBox8" << true;
        QTest::newRow("SERVIDOR enabled") << "RadioButton2"
                                          << "+RadioButton2" << true;
        QTest::newRow("WatchDog") << "CheckBox3" << QString() << true;
        QTest::newRow("search") << "Label11" << QString() << true;
    }

    // Read from the drawn window: an enabled caption is navy, a disabled one grey over a light
    // emboss, readable on the grey pane.
    void captionsAsDrawn()
    {
        QFETCH(QString, name);
        QFETCH(QString, change);
        QFETCH(bool, enabled);

        if (!change.isEmpty())
            control(change.mid(1))->setEnabled(change.front() == QLatin1Char('+'));
        QWidget* caption = control(name);
        QCOMPARE(caption->isEnabled(), enabled);
        const QImage drawn = m_f->form->grab().toImage();

        // The caption's text, right of a box's or button's indicator.
        QRect text = caption->rect();
        if (auto* box = qobject_cast<QAbstractButton*>(caption)) {
            QStyleOptionButton option;
            option.initFrom(box);
            const bool radio = qobject_cast<QRadioButton*>(box);
            text.setLeft(box->style()
                             ->subElementRect(radio ? QStyle::SE_RadioButtonContents
                                                    : QStyle::SE_CheckBoxContents,
                                              &option, box)
                             .left());
        }
        text.translate(caption->mapTo(m_f->form.get(), QPoint(0, 0)));

        const QColor pane(0xC8, 0xC8, 0xC8);
        QColor darkest = pane;
        int lighter = 0;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x) {
                const QColor pixel = drawn.pixelColor(x, y);
                if (luminance(pixel) < luminance(darkest))
                    darkest = pixel;
                if (luminance(pixel) > luminance(pane) + 0.1)
                    ++lighter;
            }
        const double contrast = (luminance(pane) + 0.05) / (luminance(darkest) + 0.05);
        const QString seen = QStringLiteral("darkest %1, contrast %2, %3 lighter pixels")
                                 .arg(darkest.name())
                                 .arg(contrast, 0, 'f', 2)
                                 .arg(lighter);
        if (enabled) {
            QVERIFY2(darkest == QColor(0, 0, 128), qPrintable(seen));
            QVERIFY2(lighter == 0, qPrintable(seen));
        } else {
            QVERIFY2(contrast >= 3.0, qPrintable(seen));
            QVERIFY2(darkest.red() == darkest.green() && darkest.green() == darkest.blue(),
                     qPrintable(seen));
            QVERIFY2(lighter >= 10, qPrintable(seen));
        }
    }

    void typedLimits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limit");

        for (const char* name : {"Edit7", "Edit9", "Edit16", "Edit14", "Edit1", "Edit8", "EditIP1",
                                 "EditIP2", "EditIP3"})
            QTest::newRow(name) << name << 3;
        QTest::newRow("Edit2") << "Edit2" << 32;
    }

    void typedLimits()
    {
        QFETCH(QString, name);
        QFETCH(int, limit);

        auto* edit = dynamic_cast<TEdit*>(control(name));
        QVERIFY(edit);
        QVERIFY(edit->validator());
        edit->setEnabled(true);
        edit->setText(QString());
        edit->selectAll(); // the time field puts "0" into an empty field
        QTest::keyClicks(edit, QString(limit + 1, QLatin1Char('1')));
        QCOMPARE(edit->text(), QString(limit, QLatin1Char('1')));
        // The program may put in a longer text, such as a version line read from a file.
        const QString longer = QString(limit, QLatin1Char('0')) + QLatin1Char('1');
        edit->setText(longer);
        QCOMPARE(edit->text(), longer);

        // A longer paste is cut to the limit, not dropped.
        const QString pasted = limit == 3 ? QStringLiteral("192.168.0.1")
                                          : QStringLiteral("modulos-duva.servidor.exemplo.com.br");
        QGuiApplication::clipboard()->setText(pasted);
        edit->setText(QString());
        edit->selectAll(); // the time field puts "0" into an empty field
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), pasted.left(limit));
    }

    void maskGatewayAndDnsFieldsTakeAnyLength()
    {
        TForm1& w = *m_f->form;
        for (QLineEdit* edit : {w.Edit15, w.Edit17, w.Edit18, w.Edit20, w.Edit3, w.Edit4, w.Edit5,
                                w.Edit6, w.Edit10, w.Edit24, w.Edit25, w.Edit27}) {
            QTest::keyClicks(edit, QStringLiteral("0255"));
            QCOMPARE(edit->text(), QStringLiteral("0255"));
        }
    }

    void logo()
    {
        const QPixmap logo = m_f->form->Image1->pixmap();
        QVERIFY(!logo.isNull());
        QCOMPARE(logo.size(), QSize(75, 41));
    }

    void noTabStops()
    {
        for (QWidget* widget : std::initializer_list<QWidget*>{
                 m_f->form->ListBox1, m_f->form->ListBox2, m_f->form->Button21})
            QVERIFY(!(widget->focusPolicy() & Qt::TabFocus));
        QVERIFY(m_f->form->ListBox3->focusPolicy() & Qt::TabFocus);
        QVERIFY(m_f->form->Button13->focusPolicy() & Qt::TabFocus);
    }

private:
    QWidget* control(const QString& name) const
    {
        auto* found = m_f->form->findChild<QWidget*>(name);
        if (!found)
            qWarning("no control %s", qPrintable(name));
        return found;
    }

    std::unique_ptr<Fixture> m_f;
};

QTEST_MAIN(FormTest)
#include "tst_form.moc"
