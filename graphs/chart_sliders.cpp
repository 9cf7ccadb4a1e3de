// The slider and fine-tune handlers of the chart window: each moves one end of an axis.
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QValueAxis>
#include <cmath>

#include "graphs/chart_window.h"

namespace korvelan::graphs {

namespace {

int half_even(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

// A drag of an x slider snaps it to a whole number of 20-unit divisions from the other end of
// the axis; a fine-tune step is taken as it is. The two sliders stay at least one apart.
void ChartWindow::apply_x_slider(bool high) {
    const SliderId id = high ? XHigh : XLow;
    QSlider* s = sliders_[id];
    const int partner = sliders_[high ? XLow : XHigh]->value();
    const int other_end = high ? s_.view_low : s_.view_high;
    const int sign = high ? 1 : -1;  // direction from the other end towards this one
    int v = s->value();
    if (sign * (v - partner) <= 0) v = partner + sign;
    if (!from_up_down_[id]) {
        const int w = sign * (v - other_end);
        if (w > 20) {
            v = other_end + sign * 20 * half_even(w / 20.0);
            v = high ? std::min(v, s->maximum()) : std::max(v, s->minimum());
        }
    }
    from_up_down_[id] = false;
    const int width = sign * (v - other_end);
    (high ? s_.view_high : s_.view_low) = v;
    (high ? s_.x_high_value : s_.x_low_value) = v;
    s_.view_division = width > 20 ? 20 : width;
    set_axis(x_axis_, s_.view_low, s_.view_high, s_.view_division);
    set_slider(id, s->minimum(), s->maximum(), v);
    sync_fine_tune();
}

void ChartWindow::apply_min_x_slider() { apply_x_slider(false); }
void ChartWindow::apply_max_x_slider() { apply_x_slider(true); }
void ChartWindow::apply_min_y_slider() { apply_y_slider(false); }
void ChartWindow::apply_max_y_slider() { apply_y_slider(true); }

// The y sliders count tenths on the probability graphs, scores on the ogive, and parts of the
// largest information on the information graphs.
void ChartWindow::apply_y_slider(bool high) {
    QSlider* s = sliders_[high ? YHigh : YLow];
    QSlider* partner = sliders_[high ? YLow : YHigh];
    int v = s->value();
    if (high && v <= partner->value()) v = partner->value() + 1;
    if (!high && v >= partner->value()) v = partner->value() - 1;
    GraphTypeSettings& t = s_.type_settings();
    const int type = s_.graph_type;
    double value = v;
    if (type == 1 || type == 3) value = v * 0.1;
    if (type == 4 || type == 5) {
        const int range = t.slider_max - t.slider_min;
        if (range == 0) {
            // Nothing was computed for this group: no scale to move along.
            set_axis(y_axis_, 0, 1, t.y_division);
            return;
        }
        value = std::ceil(s_.curves().grid.maximum_information) * v / range;
    }
    double lo = y_axis_->min(), hi = y_axis_->max();
    (high ? hi : lo) = value;
    double division = hi - lo;
    if (type == 1 || type == 3) division *= 10;
    if ((type == 4 || type == 5) && std::ceil(s_.curves().grid.maximum_information) <= 3) division *= 4;
    t.y_division = half_even(division);
    (high ? t.y_max : t.y_min) = half_even(value);
    (high ? t.y_high : t.y_low) = v;
    set_axis(y_axis_, lo, hi, t.y_division);
    set_slider(high ? YHigh : YLow, s->minimum(), s->maximum(), v);
}

// Moves an x slider to the value with the busy mark "U": applied without snapping. A value
// outside the slider's range leaves it where it is.
void ChartWindow::fine_tune_slider(SliderId id, int value) {
    QSlider* s = sliders_[id];
    if (value < s->minimum() || value > s->maximum() || value == s->value()) {
        sync_fine_tune();
        return;
    }
    from_up_down_[id] = true;
    (id == XLow ? s_.x_low_value : s_.x_high_value) = value;
    s->setValue(value);
    from_up_down_[id] = false;
}

void ChartWindow::step_min_x(int delta) { fine_tune_slider(XLow, sliders_[XLow]->value() + delta); }
void ChartWindow::step_max_x(int delta) { fine_tune_slider(XHigh, sliders_[XHigh]->value() + delta); }

}  // namespace korvelan::graphs
