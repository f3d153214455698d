#include "formattingpanel.h"

#include "editor/wispentextview.h"
#include "infopopover.h"
#include "linebreakcheckbox.h"
#include "session/notesession.h"
#include "ui/apppreferences.h"
#include "ui/symbolbutton.h"
#include "ui/textlabel.h"

#include <QHash>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int panelWidth = 44;
constexpr int rowSpacing = 10;
constexpr int topGap = 12;
constexpr int separatorWidth = 24;
constexpr int separatorPadding = 2;
constexpr int checkBoxPadding = 2;
constexpr int appearancePaddingBelow = 4;
constexpr int infoPaddingBelow = 12;
constexpr int fontSizePixelSize = 10;

const QString sunSymbol = QStringLiteral("sun.max.fill");
const QString moonSymbol = QStringLiteral("moon.fill");

SymbolButton::Look infoButtonLook()
{
    SymbolButton::Look look;
    look.glyphSize = 12;
    look.level = UiStyle::Level::Quaternary;
    return look;
}

// A hairline the width of a separator, drawn in a faint foreground.
class Separator : public QWidget
{
public:
    explicit Separator(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(separatorWidth, 1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QColor color = UiStyle::foreground(palette(), UiStyle::Level::Quaternary);
        color.setAlphaF(color.alphaF() * 0.7f);
        painter.fillRect(rect(), color);
    }
};

bool isHorizontally(Qt::Alignment alignment, Qt::Alignment wanted)
{
    return (alignment & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute) == wanted;
}
} // namespace

FormattingPanel::FormattingPanel(NoteSession &session, WispenTextView *textView, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_textView(textView)
    , m_layout(new QVBoxLayout(this))
{
    setFixedWidth(panelWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    addGap(topGap);
    addRow(formattingButton(QStringLiteral("bold"), FormattingCommand::Bold));
    addRow(formattingButton(QStringLiteral("italic"), FormattingCommand::Italic));
    addRow(formattingButton(QStringLiteral("underline"), FormattingCommand::Underline));
    addRow(separator(), separatorPadding, separatorPadding);
    addRow(formattingButton(QStringLiteral("plus"), FormattingCommand::Bigger));
    m_fontSizeLabel = new TextLabel(QString(), this);
    m_fontSizeLabel->setFont(UiStyle::monospacedFont(fontSizePixelSize));
    m_fontSizeLabel->setLevel(UiStyle::Level::Tertiary);
    m_fontSizeLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    addRow(m_fontSizeLabel);
    addRow(formattingButton(QStringLiteral("minus"), FormattingCommand::Smaller));
    addRow(separator(), separatorPadding, separatorPadding);
    addRow(formattingButton(QStringLiteral("text.alignleft"), FormattingCommand::AlignLeft));
    addRow(formattingButton(QStringLiteral("text.aligncenter"), FormattingCommand::AlignCenter));
    addRow(formattingButton(QStringLiteral("text.alignright"), FormattingCommand::AlignRight));
    addRow(separator(), separatorPadding, separatorPadding);
    addRow(formattingButton(QStringLiteral("checklist"), FormattingCommand::Checklist));
    m_lineBreakCheckBox = new LineBreakCheckBox(this);
    connect(m_lineBreakCheckBox, &LineBreakCheckBox::clicked, this,
        [this] { m_session.setCopyPreservesLineBreaks(!m_session.copyPreservesLineBreaks()); });
    addRow(m_lineBreakCheckBox, checkBoxPadding, checkBoxPadding);
    addGap(rowSpacing);
    m_layout->addStretch(1);

    m_appearanceButton = toolButton(sunSymbol, false, [this] { toggleAppearance(); });
    m_appearanceButton->setAccessibleName(QStringLiteral("Switch appearance"));
    addRow(m_appearanceButton, 0, appearancePaddingBelow);
    m_infoButton = new SymbolButton(QStringLiteral("info.circle"), infoButtonLook(), this);
    m_infoButton->setAccessibleName(QStringLiteral("About the formatting panel"));
    connect(m_infoButton, &SymbolButton::clicked, this, [this] { setShowingInfo(!m_showingInfo); });
    addRow(m_infoButton, 0, infoPaddingBelow);

    m_infoPopover = new InfoPopover(m_infoButton);
    connect(m_infoPopover, &InfoPopover::dismissed, this, [this] { m_showingInfo = false; });

    connect(
        &m_session, &NoteSession::objectWillChange, this, [this] { m_deferredRefresh.request(); });
    connect(&AppPreferences::shared(), &AppPreferences::darkModeChanged, this,
        &FormattingPanel::refreshAppearance);
    refresh();
    refreshAppearance();
}

QWidget *FormattingPanel::firstFocusable() const
{
    return m_buttons.value(FormattingCommand::Bold);
}

QString FormattingPanel::fontSizeText(double fontSize)
{
    if (!std::isfinite(fontSize))
        return QStringLiteral("0");
    return QString::number(static_cast<long long>(std::trunc(fontSize)));
}

void FormattingPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), UiStyle::barBackground(palette()));
}

SymbolButton *FormattingPanel::toolButton(
    const QString &icon, bool active, std::function<void()> action)
{
    auto *button = new SymbolButton(icon, SymbolButton::Look(), this);
    button->setActive(active);
    connect(button, &SymbolButton::clicked, this, [action = std::move(action)] { action(); });
    return button;
}

SymbolButton *FormattingPanel::formattingButton(const QString &icon, FormattingCommand command)
{
    SymbolButton *button = toolButton(
        icon, false, [this, command] { FormattingCommands::run(command, m_textView, m_session); });
    m_buttons.insert(command, button);
    // What a screen reader says, and for the styles and alignments, whether they are on.
    static const QHash<FormattingCommand, std::pair<const char *, bool>> names {
        { FormattingCommand::Bold, { "Bold", true } },
        { FormattingCommand::Italic, { "Italic", true } },
        { FormattingCommand::Underline, { "Underline", true } },
        { FormattingCommand::Bigger, { "Bigger text", false } },
        { FormattingCommand::Smaller, { "Smaller text", false } },
        { FormattingCommand::AlignLeft, { "Align left", true } },
        { FormattingCommand::AlignCenter, { "Center", true } },
        { FormattingCommand::AlignRight, { "Align right", true } },
        { FormattingCommand::Checklist, { "Checklist", false } },
    };
    const auto &[name, isToggle] = names.value(command);
    button->setAccessibleName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(name));
    button->setCheckable(isToggle);
    return button;
}

QWidget *FormattingPanel::separator()
{
    return new Separator(this);
}

void FormattingPanel::addRow(QWidget *row, int paddingAbove, int paddingBelow)
{
    // Rows sit 10 apart; a row's own padding adds to that, as padding around a child does.
    addGap(rowSpacing + paddingAbove);
    m_layout->addWidget(row, 0, Qt::AlignHCenter);
    if (paddingBelow > 0)
        addGap(paddingBelow);
}

void FormattingPanel::addGap(int height)
{
    // Gaps give way first when the window is too low for the whole panel, so that no button
    // is cut off while there is room for the buttons alone.
    m_layout->addSpacerItem(
        new QSpacerItem(0, height, QSizePolicy::Minimum, QSizePolicy::Preferred));
}

void FormattingPanel::refresh()
{
    button(FormattingCommand::Bold)->setActive(m_session.isBold());
    button(FormattingCommand::Italic)->setActive(m_session.isItalic());
    button(FormattingCommand::Underline)->setActive(m_session.isUnderline());
    const Qt::Alignment alignment = m_session.alignment();
    button(FormattingCommand::AlignLeft)->setActive(isHorizontally(alignment, Qt::AlignLeft));
    button(FormattingCommand::AlignCenter)->setActive(isHorizontally(alignment, Qt::AlignHCenter));
    button(FormattingCommand::AlignRight)->setActive(isHorizontally(alignment, Qt::AlignRight));
    button(FormattingCommand::Checklist)->setActive(m_session.isOnChecklistLine());
    m_fontSizeLabel->setText(fontSizeText(m_session.fontSize()));
    // The panel refreshes at every keystroke; assistive technology hears only of a new size.
    const QString sizeName
        = QStringLiteral("Font size %1 points").arg(fontSizeText(m_session.fontSize()));
    if (m_fontSizeLabel->accessibleName() != sizeName)
        m_fontSizeLabel->setAccessibleName(sizeName);
    m_lineBreakCheckBox->setChecked(m_session.copyPreservesLineBreaks());
}

// Apart from the session's refresh: reading the preference reads the settings store, too slow
// for every keystroke.
void FormattingPanel::refreshAppearance()
{
    // The symbol shows the appearance the next click switches to.
    const bool dark = AppPreferences::shared().isDarkMode();
    m_appearanceButton->setSymbol(dark ? sunSymbol : moonSymbol);
    m_appearanceButton->setAccessibleDescription(dark
            ? QStringLiteral("Switches to the light appearance")
            : QStringLiteral("Switches to the dark appearance"));
}

void FormattingPanel::toggleAppearance()
{
    AppPreferences &preferences = AppPreferences::shared();
    preferences.setDarkMode(!preferences.isDarkMode());
}

void FormattingPanel::setShowingInfo(bool showing)
{
    m_showingInfo = showing;
    if (showing)
        m_infoPopover->popUp();
    else
        m_infoPopover->hide();
}
