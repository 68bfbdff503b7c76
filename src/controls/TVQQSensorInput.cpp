#include "TVQQSensorInput.h"

#include "TControlFactory.h"
#include "TVQImageManager.h"
#include "TVQQModuleBase.h"
#include "TVQQTorOutput.h"

#include <QPainter>

namespace {
[[maybe_unused]] const bool k_registered = TControlFactory::Register<TVQQSensorInput>("TVQQSensorInput");
} // namespace

namespace {

constexpr int PanelWidth = 260;
constexpr int PanelHeight = 130;


// "21,5°C" from the module's units and tenths, written out in one go: a refresh burst makes two
// for every sensor.
QString Degrees(quint8 units, quint8 digit)
{
    char16_t text[10];
    qsizetype size = 0;
    const auto put = [&](int value) {
        if (value >= 100)
            text[size++] = char16_t(u'0' + value / 100);
        if (value >= 10)
            text[size++] = char16_t(u'0' + value / 10 % 10);
        text[size++] = char16_t(u'0' + value % 10);
    };
    put(units);
    text[size++] = u',';
    put(digit);
    text[size++] = u'\u00B0';
    text[size++] = u'C';
    return QString(reinterpret_cast<const QChar *>(text), size);
}

} // namespace

TVQQSensorInput::TVQQSensorInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQBaseControl(parent, module, ioIndex, host)
    , m_temperatureText(QString::fromUtf8("?,?°C"))
    , m_setPointText(QString::fromUtf8("18,0°C"))
{
    Initialize(TVQQTorOutput::OnOffStates());
}

void TVQQSensorInput::SetDisplayType(quint8 type)
{
    if (type == DisplayType())
        return;
    m_viewMode = type == 2 ? 2 : 1;
    TVQBaseControl::SetDisplayType(type);
    Resize();
    update();
}

void TVQQSensorInput::RefreshComponentState()
{
    std::array<quint8, 5> bytes{};
    GetParentModule()->GetTemperature(bytes);
    const QString temperature = Degrees(bytes[0], bytes[1]);
    const QString setPoint = Degrees(bytes[2], bytes[3]);
    const bool changed = temperature != m_temperatureText || setPoint != m_setPointText || bytes[4] != m_mode;
    m_temperatureText = temperature;
    m_setPointText = setPoint;
    m_mode = bytes[4];
    if (changed) {
        Resize();
        update();
    }
}

QString TVQQSensorInput::GetLabelText()
{
    return LabelWithValue(ValueOrUnknown(m_temperatureText));
}

int TVQQSensorInput::ComputeMaxWidth()
{
    if (DisplayType() == 2 || DisplayType() == 3)
        return PanelWidth;
    return ValueIconWidth(QString::fromUtf8("99,9°C"));
}

void TVQQSensorInput::CheckSize()
{
    if (m_viewMode == 2) {
        if (width() != PanelWidth || height() != PanelHeight)
            resize(PanelWidth, PanelHeight);
        return;
    }
    TVQBaseControl::CheckSize();
}

TVQQSensorInput::Zone TVQQSensorInput::GetPush(int x, int y)
{
    if (y >= 1 && y < 23 && x > 125 && x < 146)
        return Close;
    if (x > 159 && x < 241) {
        if (y >= 9 && y < 41)
            return Automatic;
        if (y >= 49 && y < 81)
            return Absence;
        if (y >= 89 && y < 121)
            return Comfort;
    }
    if (y >= 89 && y < 121 && x > 9 && x < 41)
        return Plus;
    if (y >= 89 && y < 121 && x > 109 && x < 141)
        return Minus;
    return NoZone;
}

void TVQQSensorInput::SendZoneCommand(Zone zone)
{
    // Command code and parameter of each key; the panel changes when the module reports.
    static constexpr quint8 commands[][2] = {{0, 0}, {10, 0}, {11, 0}, {7, 2}, {7, 1}, {7, 5}};
    if (zone >= Plus && zone <= Comfort)
        GetParentModule()->SendTemperatureCommand(IOIndex(), commands[zone][0], commands[zone][1]);
}

void TVQQSensorInput::SetViewMode(int mode)
{
    m_viewMode = mode;
    CheckSize();
    // The open panel covers the controls around it.
    if (mode == 2)
        raise();
    update();
}

void TVQQSensorInput::OnControlMouseDownChild(Qt::MouseButton, QPoint at)
{
    const bool panelAlways = DisplayType() == 2;
    if (ControlMode() == RunMode::RunTime) {
        const Zone zone = m_viewMode == 2 || panelAlways ? GetPush(at.x(), at.y()) : NoZone;
        if (panelAlways || m_viewMode == 2) {
            if (zone == Close && !panelAlways)
                SetViewMode(1);
            else
                SendZoneCommand(zone);
        } else {
            SetViewMode(2);
        }
    } else if (ControlMode() == RunMode::Test && !panelAlways) {
        // Test mode opens and closes the panel; no command is ever sent.
        if (m_viewMode != 2)
            SetViewMode(2);
        else if (GetPush(at.x(), at.y()) == Close)
            SetViewMode(1);
    }
}

void TVQQSensorInput::OnControlMouseUpChild(Qt::MouseButton, QPoint) {}

QString TVQQSensorInput::PanelTitle() const
{
    // The title starts at x 10; the close box at 130 and the mode keys at 150 end its room.
    const int room = (DisplayType() != 2 ? 130 : 150) - 10 - 4;
    return LabelMetrics(8).elidedText(ComponentLabel(), Qt::ElideRight, room);
}

void TVQQSensorInput::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_viewMode != 2) {
        PaintIconFace(painter, true);
        return;
    }
    painter.setOpacity(FaceOpacity());
    painter.setFont(LabelFont(8));
    painter.setPen(Qt::black);
    painter.setBrush(QColor(166, 202, 240));
    painter.drawRect(0, 0, PanelWidth - 1, PanelHeight - 1);
    DrawTextTop(painter, 10, 10, PanelTitle());
    // The panel's pictures are looked up when it is painted: most sensors never show it.
    TVQImageManager &pictures = TVQImageManager::GetInstance();
    painter.drawPixmap(8, 90, pictures.GetControlImage(QStringLiteral("Sensor plus.bmp"))->Pixmap(true));
    painter.drawPixmap(110, 90, pictures.GetControlImage(QStringLiteral("Sensor minus.bmp"))->Pixmap(true));
    const QPixmap &button = pictures.GetControlImage(QStringLiteral("but2.bmp"))->Pixmap(true);
    for (int top : {10, 50, 90})
        painter.drawPixmap(150, top, button);
    if (DisplayType() != 2)
        painter.drawPixmap(130, 8, pictures.GetControlImage(QStringLiteral("close.ico"))->Pixmap(true));
    painter.setBrush(Qt::NoBrush);
    const std::pair<const char *, int> modes[] = {{"Automatic", 2}, {"Absence", 1}, {"Comfort", 5}};
    int top = 20;
    for (const auto &[caption, code] : modes) {
        painter.setPen(m_mode == code ? QColor(255, 0, 0) : QColor(0, 0, 0));
        DrawCentredText(painter, 202, top, QLatin1String(caption));
        top += 40;
    }
    painter.setFont(LabelFont(12));
    painter.setPen(QColor(0, 0, 255));
    DrawCentredText(painter, 75, 94, ValueOrUnknown(m_setPointText));
    painter.setFont(LabelFont(22));
    painter.setPen(Qt::black);
    DrawCentredText(painter, 75, 40, ValueOrUnknown(m_temperatureText));
}
