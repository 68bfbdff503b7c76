#pragma once

#include "TVQRecordControl.h"

class TCameraView;

// The IP camera view: in design time a frame with its position and name that can be moved and
// edited; in run time and test the camera's live picture, streamed only while its screen shows.
class TVQQAxisControl : public TVQRecordControl<TVisualAxisCamData>
{
public:
    TVQQAxisControl(QWidget *parent, const TVisualAxisCamData &record, TVQControlHost *host);

    void SetRunTimeMode(RunMode mode) override;
    void CheckSize() override;
    TCameraView *View() const { return m_view; }

protected:
    void RecordApplied() override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    // Streams in run time and test while the control can be seen.
    void FollowVisibility();
    // Text drawn black over a white outline one pixel left, right, above and below.
    static void DrawCrossOutlined(QPainter &painter, QPoint topLeft, const QString &text);

    TCameraView *m_view = nullptr;
};
