#pragma once

#include <QWidget>

class TCameraView;

// A camera's picture in a dialog: black until played, then the stream scaled into the area.
class TCameraPreview : public QWidget
{
public:
    explicit TCameraPreview(QWidget *parent = nullptr);
    TCameraView *View() const { return m_view; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TCameraView *m_view = nullptr;
};
