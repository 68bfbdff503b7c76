#pragma once

#include "TVQBaseControl.h"

#include <QRect>
#include <vector>

// A dimmer output: an icon face (the picture of the first state and the level in percent) and a
// panel drawn over "Image Control/DimView.bmp" with ON and OFF keys, the level in large digits
// and a ten-step bar. Display type 1 is the icon (a click toggles), 2 the panel always, 3 the
// icon that opens the panel (whose close box returns to the icon).
class TVQQDimOutput : public TVQBaseControl
{
    Q_OBJECT

public:
    TVQQDimOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);

    void SetDisplayType(quint8 type) override;
    void RefreshComponentState() override;
    quint8 StateParts() const override { return PartLevels; }
    QString GetLabelText() override;
    int ComputeMaxWidth() override;
    void CheckSize() override;

    void SetLevel(int level);
    int Level() const { return m_level; }
    int ViewMode() const { return m_viewMode; }
    // The zone of the panel under (x, y); acts on it when `click`. False outside every zone.
    bool OnCtlClick(int x, int y, bool click);

    // The level a click on the bar at x gives.
    static int LevelFromBar(int x);
    // The red blocks of the bar for a level: up to ten blocks, the last one partial.
    static std::vector<QRect> BarBlocks(int level);

protected:
    void paintEvent(QPaintEvent *event) override;
    void OnControlMouseDownChild(Qt::MouseButton button, QPoint at) override;
    void OnControlMouseMoveChild(QPoint at) override;

private:
    void ApplyLevel(int level);
    const TVQPicture *Panel() const;

    int m_viewMode = 1;
    int m_level = 0;
};
