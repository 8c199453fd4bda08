#include "app/fontfamily.h"
#include "app/jpegimage.h"
#include "app/mainwindow.h"
#include "buildinfo.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>

namespace duva
{

namespace
{

const QColor navy(0, 0, 128);
// The scroll-bar colour of the designed system's standard scheme, which the left pane uses.
const QColor scrollBarGrey(0xC8, 0xC8, 0xC8);

// Sizes the form's texts were laid out for where the form gives none.
constexpr int editHeight = 21;
constexpr int octetWidth = 28;
constexpr int buttonWidth = 75;
constexpr int buttonHeight = 25;

QFont designFont(const QString& family, int points, bool bold = false, bool italic = false)
{
    QFont font(familyOnThisSystem(family), points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Text colours are set for the active and inactive window only, so that disabled controls
// keep the style's greyed text.
void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    widget->setPalette(palette);
}

// Disabled captions as the designed system draws them: grey, over a light copy one pixel
// down and to the right. This grey keeps a contrast of 3.4 : 1 on the grey pane.
const QColor disabledText(0x66, 0x66, 0x66);
const QColor disabledEmboss(Qt::white);

// Qt's styles no longer emboss disabled text themselves, whatever SH_EtchDisabledText says.
class EmbossedDisabledText : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole) const override
    {
        if (!enabled && !text.isEmpty()) {
            QPalette emboss = palette;
            emboss.setColor(QPalette::Disabled, textRole,
                            palette.color(QPalette::Disabled, QPalette::Light));
            QProxyStyle::drawItemText(painter, rect.translated(1, 1), flags, emboss, enabled, text,
                                      textRole);
        }
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
    }
};

void setDisabledCaptions(QWidget* window)
{
    QPalette palette = window->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Light, disabledEmboss);
    window->setPalette(palette);
    // The same style as every other window's, with only the emboss added; the controls that
    // draw captions take it.
    auto* style = new EmbossedDisabledText(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(window);
    for (QWidget* control : window->findChildren<QWidget*>())
        if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
            qobject_cast<QGroupBox*>(control))
            control->setStyle(style);
}

// The names screen readers say for fields: the caption that the window shows for them, without
// its colon, with the field's place where several share it ("IP, octeto 1"). The caption's
// label is related to the first of them.
void nameFields(const QString& caption, std::initializer_list<QWidget*> fields,
                QLabel* label = nullptr)
{
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name = name.chopped(1).trimmed();
    int place = 0;
    for (QWidget* field : fields)
        field->setAccessibleName(
            fields.size() == 1 ? name : QStringLiteral("%1, octeto %2").arg(name).arg(++place));
    if (label)
        label->setBuddy(*fields.begin());
}

void nameFields(QLabel* caption, std::initializer_list<QWidget*> fields)
{
    nameFields(caption->text(), fields, caption);
}

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Names the control and puts it at its place; without a size it takes the size its caption
// needs, as the form's labels and boxes do.
template <class Control>
Control* place(Control* control, const char* name, int left, int top, int width = -1,
               int height = -1)
{
    control->setObjectName(QLatin1String(name));
    if (width < 0 || height < 0) {
        const QSize natural = control->sizeHint();
        if (width < 0)
            width = natural.width();
        if (height < 0)
            height = natural.height();
    }
    control->setGeometry(left, top, width, height);
    return control;
}

TLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width = -1)
{
    auto* control = new TLabel(caption, parent);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return place(control, name, left, top, width);
}

TEdit* edit(QWidget* parent, const char* name, int left, int top, int width, int typedLimit = 0)
{
    auto* control = new TEdit(parent);
    control->setFont(designFont(QStringLiteral("Arial"), 8, true));
    setTextColour(control, QPalette::Text, Qt::black);
    if (typedLimit > 0)
        control->setTypedLimit(typedLimit);
    return place(control, name, left, top, width, editHeight);
}

TCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    return place(new TCheckBox(caption, parent), name, left, top);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width = buttonWidth, int height = buttonHeight)
{
    return place(new QPushButton(caption, parent), name, left, top, width, height);
}

TListBox* listBox(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* list = new TListBox(parent);
    // Every line is one line of text in the list's one font, so all have the same height: the
    // view then lays out a new line without measuring every line it already holds, which kept
    // each reply's cost growing with the lines listed before it.
    list->setUniformItemSizes(true);
    return place(list, name, left, top, width, height);
}

QPixmap logo()
{
    QFile file(QStringLiteral(":/logo.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QPixmap::fromImage(decodeJpeg(file.readAll()));
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

void TForm1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Configurador Módulos DUVA - v") + QLatin1String(programVersion));
    setWindowIcon(programIcon());
    setFont(designFont(QStringLiteral("MS Sans Serif"), 8));
    setBackground(this, Qt::white);
    setFixedSize(786, 571);

    // The left pane. Created first: the controls that lie on the window over its edge are
    // drawn above it.
    Panel2 = place(new QFrame(this), "Panel2", 6, 48, 471, 518);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    setBackground(Panel2, scrollBarGrey);
    Panel2->setFont(designFont(QStringLiteral("Calibri"), 8, true));
    setTextColour(Panel2, QPalette::WindowText, navy);

    Panel1 = place(new QFrame(Panel2), "Panel1", 19, 28, 190, 33);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Label11 = label(Panel1, "Label11", QStringLiteral("Procurar módulos na rede"), 14, 7);

    CheckBox8 = checkBox(Panel2, "CheckBox8", QStringLiteral("IP FIXO"), 239, 18);
    CheckBox8->setEnabled(false);
    CheckBox7 = checkBox(Panel2, "CheckBox7", QStringLiteral("DHCP"), 330, 18);
    CheckBox7->setEnabled(false);
    RadioButton1 =
        place(new TRadioButton(QStringLiteral("CLIENTE"), Panel2), "RadioButton1", 238, 41);
    RadioButton2 =
        place(new TRadioButton(QStringLiteral("SERVIDOR"), Panel2), "RadioButton2", 329, 41);
    RadioButton1->setSibling(RadioButton2);
    RadioButton2->setSibling(RadioButton1);
    RadioButton1->setChecked(true);
    RadioButton1->setEnabled(false);
    RadioButton2->setEnabled(false);

    Label1 = label(Panel2, "Label1", QStringLiteral("IP"), 241, 62);
    Edit7 = edit(Panel2, "Edit7", 240, 78, octetWidth, 3);
    Edit9 = edit(Panel2, "Edit9", 271, 78, octetWidth, 3);
    Edit16 = edit(Panel2, "Edit16", 301, 78, octetWidth, 3);
    Edit14 = edit(Panel2, "Edit14", 331, 78, octetWidth, 3);
    Label2 = label(Panel2, "Label2", QStringLiteral("Porta Local"), 372, 62);
    Edit11 = edit(Panel2, "Edit11", 372, 78, 45);

    Label3 = label(Panel2, "Label3", QStringLiteral("Máscara de sub-rede"), 241, 103);
    Edit15 = edit(Panel2, "Edit15", 240, 119, octetWidth);
    Edit17 = edit(Panel2, "Edit17", 271, 119, octetWidth);
    Edit18 = edit(Panel2, "Edit18", 301, 119, octetWidth);
    Edit20 = edit(Panel2, "Edit20", 331, 119, octetWidth);

    Label10 = label(Panel2, "Label10", QStringLiteral("IP do Gateway"), 241, 149);
    Edit3 = edit(Panel2, "Edit3", 240, 165, octetWidth);
    Edit4 = edit(Panel2, "Edit4", 271, 165, octetWidth);
    Edit5 = edit(Panel2, "Edit5", 301, 165, octetWidth);
    Edit6 = edit(Panel2, "Edit6", 331, 165, octetWidth);

    Label5 = label(Panel2, "Label5", QStringLiteral("IP do Servidor de DNS"), 241, 194);
    Edit10 = edit(Panel2, "Edit10", 240, 210, octetWidth);
    Edit24 = edit(Panel2, "Edit24", 271, 210, octetWidth);
    Edit25 = edit(Panel2, "Edit25", 301, 210, octetWidth);
    Edit27 = edit(Panel2, "Edit27", 332, 210, octetWidth);

    GroupBox1 = place(new QGroupBox(QStringLiteral("   Modo CLIENTE  "), Panel2), "GroupBox1", 223,
                      243, 228, 113);
    Label7 = label(GroupBox1, "Label7", QStringLiteral("Domínio ou IP do Servidor"), 17, 22);
    Edit2 = edit(GroupBox1, "Edit2", 17, 38, 193, 32);
    Label6 = label(GroupBox1, "Label6", QStringLiteral("Porta do Servidor"), 17, 63);
    Edit26 = edit(GroupBox1, "Edit26", 17, 79, 45);

    CheckBox3 = checkBox(Panel2, "CheckBox3", QStringLiteral("WatchDog"), 240, 371);
    Label4 = label(Panel2, "Label4", QStringLiteral("Versão:"), 364, 371);
    Edit1 = edit(Panel2, "Edit1", 411, 369, 40, 3);
    Edit1->setText(QStringLiteral("000"));
    Edit1->setEnabled(false);

    Button2 = button(Panel2, "Button2", QStringLiteral("+"), 240, 397, 25, 25);
    Button2->hide();
    EditMac1 = edit(Panel2, "EditMac1", 278, 398, 25);
    EditMac2 = edit(Panel2, "EditMac2", 306, 398, 25);
    EditMac3 = edit(Panel2, "EditMac3", 333, 398, 25);
    for (TEdit* serial : {EditMac1, EditMac2, EditMac3}) {
        serial->setText(QStringLiteral("0"));
        serial->hide();
    }
    Label8 = label(Panel2, "Label8", QStringLiteral("Nserie:"), 368, 401);
    // Wide enough for the largest serial number, 16777215.
    LabelNs = label(Panel2, "LabelNs", QStringLiteral("00000"), 411, 401, 56);

    Button13 = button(Panel2, "Button13", QStringLiteral("GRAVAR"), 279, 435, 124, 43);
    Button13->setFont(designFont(QStringLiteral("Arial"), 12, true));
    Button3 = button(Panel2, "Button3", QStringLiteral("RST 69"), 216, 445, 49, 25);
    Button3->hide();

    CheckBox1 = checkBox(Panel2, "CheckBox1", QStringLiteral("Auto Desconectar :"), 296, 488);
    CheckBox1->setChecked(true);
    CheckBox1->hide();
    Edit8 = edit(Panel2, "Edit8", 422, 485, octetWidth, 3);
    Edit8->setText(QStringLiteral("10"));
    Edit8->setEnabled(false);
    Edit8->hide();

    // Status line; wide enough for its longest text, "Selecione um dos IP´s abaixo".
    Label13 = label(Panel2, "Label13", QStringLiteral("Aguarde ..."), 20, 63, 190);
    Label13->setFont(designFont(QStringLiteral("Calibri"), 8, true, true));
    setTextColour(Label13, QPalette::WindowText, Qt::white);
    Label13->hide();

    // Reply counter. Its right edge stays where the designed "0:" ends, below the list's
    // right edge, and longer counts grow to the left, up to "100:".
    Label29 = label(Panel2, "Label29", QStringLiteral("0:"), 200, 493);
    Label29->setAlignment(Qt::AlignRight | Qt::AlignTop);
    {
        const int right = Label29->geometry().right();
        const int width = Label29->fontMetrics().horizontalAdvance(QStringLiteral("100:")) + 2;
        Label29->setGeometry(right - width + 1, 493, width, Label29->height());
    }

    // Controls on the window itself, over the left pane or in the strip above it.
    CheckBox2 = checkBox(this, "CheckBox2", QStringLiteral("Alcance extendido"), 98, 56);

    ListBox3 = listBox(this, "ListBox3", 26, 130, 190, 410);
    ListBox3->setFont(designFont(QStringLiteral("Arial"), 8, true));
    setTextColour(ListBox3, QPalette::Text, navy);

    Label14 = label(this, "Label14", QStringLiteral("IP deste computador: 255.255.255.255"), 9, 26);
    Label14->setFont(designFont(QStringLiteral("Calibri"), 11, true));
    setTextColour(Label14, QPalette::WindowText, Qt::black);
    // Its text changes with the local address: the label always takes the width it needs.
    Label14->setAutoSize(true);

    // The manual network-prefix strip, opened by a service key.
    LabelIP = label(this, "LabelIP", QStringLiteral("3 prim. dígitos do IP:"), 15, 7);
    LabelIP->setAlignment(Qt::AlignRight | Qt::AlignTop);
    EditIP1 = edit(this, "EditIP1", 143, 5, octetWidth, 3);
    EditIP2 = edit(this, "EditIP2", 172, 5, octetWidth, 3);
    EditIP3 = edit(this, "EditIP3", 200, 5, octetWidth, 3);
    ButtonIP = button(this, "ButtonIP", QStringLiteral("OK"), 236, 5, 33, editHeight);
    for (QWidget* strip :
         std::initializer_list<QWidget*>{LabelIP, EditIP1, EditIP2, EditIP3, ButtonIP})
        strip->hide();

    Image1 = place(new TLabel(this), "Image1", 400, 3, 75, 41);
    Image1->setPixmap(logo());

    // Byte lists and service buttons, right of the widths the window is shown with. The two
    // headings are white on white and lie under the lists.
    Label18 = label(this, "Label18", QStringLiteral("Lidos:"), 491, 17);
    Label19 = label(this, "Label19", QStringLiteral("Enviados p/ gravação:"), 582, 17);
    for (TLabel* heading : {Label18, Label19}) {
        QPalette palette = heading->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        heading->setPalette(palette);
    }
    const QFont smallFont = designFont(QStringLiteral("MS Sans Serif"), 7);
    ListBox1 = listBox(this, "ListBox1", 488, 17, 81, 528);
    ListBox2 = listBox(this, "ListBox2", 583, 16, 82, 529);
    for (TListBox* list : {ListBox1, ListBox2}) {
        list->setFont(smallFont);
        list->setFocusPolicy(Qt::ClickFocus);
        // 64 lines a reply make thousands: laid out a batch per pass of the event loop, a new
        // reply costs the same however many lines are listed before it.
        list->setLayoutMode(QListView::Batched);
    }
    // Narrow enough to end inside the designed client area.
    Button21 = button(this, "Button21", QStringLiteral("limpa"), 716, 190, 65);
    Button21->setFocusPolicy(Qt::ClickFocus);
    Button1 = button(this, "Button1", QStringLiteral("Base"), 716, 225, 65);

    nameFields(Label1, {Edit7, Edit9, Edit16, Edit14});
    nameFields(Label2, {Edit11});
    nameFields(Label3, {Edit15, Edit17, Edit18, Edit20});
    nameFields(Label10, {Edit3, Edit4, Edit5, Edit6});
    nameFields(Label5, {Edit10, Edit24, Edit25, Edit27});
    nameFields(Label7, {Edit2});
    nameFields(Label6, {Edit26});
    nameFields(Label4, {Edit1});
    nameFields(Label8, {EditMac1, EditMac2, EditMac3});
    nameFields(CheckBox1->text(), {Edit8});
    nameFields(LabelIP, {EditIP1, EditIP2, EditIP3});
    nameFields(Label18, {ListBox1});
    nameFields(Label19, {ListBox2});
    ListBox3->setAccessibleName(QStringLiteral("Módulos encontrados"));
    Image1->setAccessibleName(QStringLiteral("Logotipo DUVA"));
    setDisabledCaptions(this);

    // The search can be started from the keyboard too. It comes last in the Tab order, so
    // that every other Tab sequence stays as it was, and Shift+Tab from the first field
    // reaches it.
    Label11->setKeyboardOperable();
    QWidget::setTabOrder(Button1, Label11);
    // The label was made before the fields, so the window would open with the keyboard on the
    // search, where a stray Space or Enter broadcasts. It opens in the first field instead.
    Edit7->setFocus();

    // Centred on the screen with the designed size; showing it narrower later keeps its left
    // edge.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

} // namespace duva
