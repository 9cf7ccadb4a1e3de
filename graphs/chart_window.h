// The chart window: one graph of the current group, the graph-type buttons, Next and Previous,
// the four axis sliders with the two fine-tune controls of the x sliders, and the two copies
// to the clipboard.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "graphs/session.h"

class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QValueAxis;

namespace korvelan::graphs {

class ChartWindow : public QWidget {
public:
    // The messages go to `show_message` (by default an OK box titled `title`).
    ChartWindow(GraphsSession& session, QString title, QWidget* parent = nullptr);
    std::function<void(const QString&)> show_message;

    void load_work_file_and_compute_curves();
    void draw_chart();
    void select_graph(int type);
    void show_next_item_curve();
    void show_previous_item_curve();
    void apply_min_x_slider();
    void apply_max_x_slider();
    void apply_min_y_slider();
    void apply_max_y_slider();
    void step_min_x(int delta);  // the up-downs: +1 or -1, no snapping
    void step_max_x(int delta);
    void copy_plot_picture_to_clipboard();
    void copy_plot_data_to_clipboard();

    enum SliderId { XLow, XHigh, YLow, YHigh };
    QSlider* slider(SliderId id) const { return sliders_[id]; }
    QSpinBox* fine_tune(bool high) const { return high ? fine_high_ : fine_low_; }
    QPushButton* next_button() const { return next_; }
    QPushButton* previous_button() const { return previous_; }
    QChart* chart() const { return chart_; }
    QChartView* chart_view() const { return view_; }
    QValueAxis* x_axis() const { return x_axis_; }
    QValueAxis* y_axis() const { return y_axis_; }
    // The line shown in the plot in place of curves that are not drawn.
    QGraphicsSimpleTextItem* note() const { return note_; }

protected:
    // A wider or narrower chart takes as many measure labels as fit.
    void resizeEvent(QResizeEvent* event) override;

private:
    void build_controls();
    void fill_series();
    void set_slider(SliderId id, int lo, int hi, int value);
    void set_axis(QValueAxis* axis, double lo, double hi, int division);
    // Most divisions of the x axis whose labels fit side by side in the plot's width.
    int most_x_divisions(double lo, double hi, double step_guess) const;
    void apply_x_slider(bool high);
    void apply_y_slider(bool high);
    void fine_tune_slider(SliderId id, int value);
    void sync_fine_tune();
    void set_axis_controls_enabled(bool enabled);
    void place_note();

    GraphsSession& s_;
    QString title_;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QValueAxis* x_axis_ = nullptr;
    QValueAxis* y_axis_ = nullptr;
    QGraphicsSimpleTextItem* note_ = nullptr;
    std::array<QSlider*, 4> sliders_{};
    std::array<bool, 4> from_up_down_{};  // the busy mark "U": the next change is not snapped
    QSpinBox* fine_low_ = nullptr;
    QSpinBox* fine_high_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* previous_ = nullptr;
};

}  // namespace korvelan::graphs
