#include "graphs/chart_window.h"

#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QClipboard>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "graphs/chart_data.h"

namespace korvelan::graphs {

namespace {

// The colours of the curves, one a category in turn.
const QColor kCurveColours[] = {QColor(0, 0, 200),   QColor(200, 0, 0),   QColor(0, 150, 0),
                                QColor(200, 0, 200), QColor(0, 160, 160), QColor(150, 100, 0),
                                QColor(90, 90, 90),  QColor(255, 120, 0)};

QFont bold_font(int size) {
    QFont f("Arial", size);
    f.setBold(true);
    return f;
}

// The chart draws its title as rich text: the label's markup characters are escaped and each
// blank becomes a fixed blank, so that the line shows exactly as read.
QString plain_title(const std::string& label) {
    return QString::fromStdString(label).toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
}

}  // namespace

ChartWindow::ChartWindow(GraphsSession& session, QString title, QWidget* parent)
    : QWidget(parent), s_(session), title_(std::move(title)) {
    show_message = [this](const QString& text) { QMessageBox::information(this, title_, text); };
    build_controls();
}

void ChartWindow::build_controls() {
    chart_ = new QChart;
    chart_->setTitleFont(bold_font(12));
    chart_->legend()->hide();
    x_axis_ = new QValueAxis;
    y_axis_ = new QValueAxis;
    x_axis_->setTitleText("Measure relative to item difficulty");
    x_axis_->setTitleFont(bold_font(20));
    y_axis_->setTitleFont(bold_font(20));
    x_axis_->setGridLineVisible(false);
    x_axis_->setMinorGridLineVisible(false);
    y_axis_->setGridLineVisible(false);
    y_axis_->setMinorGridLineVisible(false);
    x_axis_->setLabelFormat("%g");
    y_axis_->setLabelFormat("%g");
    set_axis(y_axis_, 0, 1, 10);
    chart_->addAxis(x_axis_, Qt::AlignBottom);
    chart_->addAxis(y_axis_, Qt::AlignLeft);
    note_ = new QGraphicsSimpleTextItem(QString::fromUtf8(kChainCurvesNotDrawn), chart_);
    note_->setFont(bold_font(12));
    note_->setVisible(false);
    connect(chart_, &QChart::plotAreaChanged, this, [this] { place_note(); });
    view_ = new QChartView(chart_);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(640, 420);

    auto* buttons = new QHBoxLayout;
    const char* captions[] = {"", "Probability Curve", "Expected Score Ogive", "Thurstone Thresholds",
                              "Information Function", "Category Information"};
    for (int t = 1; t <= kGraphTypes; ++t) {
        auto* b = new QPushButton(captions[t]);
        connect(b, &QPushButton::clicked, this, [this, t] { select_graph(t); });
        buttons->addWidget(b);
    }
    previous_ = new QPushButton("Previous Curve");
    next_ = new QPushButton("Next Curve");
    // A hidden Next or Previous keeps its place, so that the other buttons never move; both stay
    // hidden until the first curves are drawn.
    for (QPushButton* b : {previous_, next_}) {
        QSizePolicy policy = b->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        b->setSizePolicy(policy);
        b->setVisible(false);
    }
    auto* paste = new QPushButton("Copy Plot to Clipboard");
    auto* copy_data = new QPushButton("Copy Plot Data to Clipboard");
    connect(previous_, &QPushButton::clicked, this, [this] { show_previous_item_curve(); });
    connect(next_, &QPushButton::clicked, this, [this] { show_next_item_curve(); });
    connect(paste, &QPushButton::clicked, this, [this] { copy_plot_picture_to_clipboard(); });
    connect(copy_data, &QPushButton::clicked, this, [this] { copy_plot_data_to_clipboard(); });
    auto* moves = new QHBoxLayout;
    for (QPushButton* b : {previous_, next_, paste, copy_data}) moves->addWidget(b);

    auto* axes = new QGridLayout;
    const char* labels[] = {"Adjust minimum X-value", "Adjust maximum X-value", "Adjust minimum Y-value",
                            "Adjust maximum Y-value"};
    for (int i = 0; i < 4; ++i) {
        sliders_[i] = new QSlider(Qt::Horizontal);
        sliders_[i]->setTickInterval(1);
        sliders_[i]->setSingleStep(1);
        sliders_[i]->setPageStep(1);
        sliders_[i]->setTickPosition(QSlider::TicksBelow);
        axes->addWidget(new QLabel(labels[i]), i, 0);
        axes->addWidget(sliders_[i], i, 1);
    }
    sliders_[XHigh]->setToolTip("Changes maximum x value");
    connect(sliders_[XLow], &QSlider::valueChanged, this, [this] { apply_min_x_slider(); });
    connect(sliders_[XHigh], &QSlider::valueChanged, this, [this] { apply_max_x_slider(); });
    connect(sliders_[YLow], &QSlider::valueChanged, this, [this] { apply_min_y_slider(); });
    connect(sliders_[YHigh], &QSlider::valueChanged, this, [this] { apply_max_y_slider(); });
    fine_low_ = new QSpinBox;
    fine_high_ = new QSpinBox;
    fine_high_->setToolTip("Force fine adjustment of maximum X-Value");
    axes->addWidget(new QLabel("Fine-tune minimum X-value"), 0, 2);
    axes->addWidget(fine_low_, 0, 3);
    axes->addWidget(new QLabel("Fine-tune maximum X-value"), 1, 2);
    axes->addWidget(fine_high_, 1, 3);
    // A fine-tune box moves its slider to the value it shows, without snapping: one step for an
    // arrow, the typed value once it is entered.
    for (QSpinBox* box : {fine_low_, fine_high_}) box->setKeyboardTracking(false);
    connect(fine_low_, &QSpinBox::valueChanged, this, [this](int v) { fine_tune_slider(XLow, v); });
    connect(fine_high_, &QSpinBox::valueChanged, this, [this](int v) { fine_tune_slider(XHigh, v); });

    // Nothing to adjust before the first curves are drawn.
    set_axis_controls_enabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    layout->addLayout(moves);
    layout->addLayout(axes);
}

void ChartWindow::load_work_file_and_compute_curves() {
    const std::string message = s_.load_and_compute();
    if (!message.empty()) {
        show_message(QString::fromStdString(message));
        return;
    }
    if (s_.has_curves()) draw_chart();
}

void ChartWindow::set_axis(QValueAxis* axis, double lo, double hi, int division) {
    // A range 0..0 (the information of a group whose curves are not computed) is shown as 0..1.
    if (!(hi > lo)) hi = lo + 1;
    axis->setRange(lo, hi);
    // A division of 0 (the probability graphs before a y slider moves) keeps ten divisions.
    const int wanted = division > 0 ? division : 10;
    if (axis != x_axis_ && wanted <= kMostAxisDivisions) {
        axis->setTickType(QValueAxis::TicksFixed);
        axis->setTickCount(wanted + 1);
        return;
    }
    // The measures, and any axis of more divisions than can be labelled: at most 20 divisions
    // at round values, whatever the scale, and no more than their labels have room for.
    int most = std::min(wanted, kMostAxisDivisions);
    if (axis == x_axis_) most = std::min(most, most_x_divisions(lo, hi, round_axis_step(hi - lo, most)));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(round_axis_step(hi - lo, most));
}

int ChartWindow::most_x_divisions(double lo, double hi, double step_guess) const {
    const QFontMetrics metrics(x_axis_->labelsFont());
    int widest = 0;
    // The labels at round steps: the ends of the range and a value with the step's decimals.
    for (const double v : {std::floor(lo / step_guess) * step_guess, std::ceil(hi / step_guess) * step_guess,
                           lo + step_guess * 0.5}) {
        const double label = std::fabs(v) < step_guess * 1e-6 ? 0.0 : std::round(v / step_guess) * step_guess;
        widest = std::max(widest, metrics.horizontalAdvance(QString::asprintf("%g", label)));
    }
    const double plot = chart_->plotArea().width() > 0 ? chart_->plotArea().width() : view_->width() * 0.8;
    // Room for the label and two blanks of gap beside it.
    const int room = widest + metrics.horizontalAdvance(QStringLiteral("  "));
    return std::max(2, static_cast<int>(plot / std::max(room, 1)));
}

void ChartWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (s_.has_curves()) set_axis(x_axis_, s_.view_low, s_.view_high, s_.view_division);
}

void ChartWindow::fill_series() {
    chart_->removeAllSeries();
    if (!s_.curves_drawn()) return;  // rows of zeros are no curves
    int k = 0;
    for (const std::vector<SeriesRow>& curve : split_curves(s_.current_series())) {
        auto* line = new QLineSeries;
        for (const SeriesRow& r : curve) line->append(r.x, r.y);
        line->setPen(QPen(kCurveColours[k++ % std::size(kCurveColours)], 2));
        chart_->addSeries(line);
        line->attachAxis(x_axis_);
        line->attachAxis(y_axis_);
    }
}

void ChartWindow::draw_chart() {
    if (s_.file_changed()) {
        const std::string message = s_.load_and_compute();
        if (!message.empty()) show_message(QString::fromStdString(message));
    }
    if (!s_.has_curves()) return;
    fill_series();
    previous_->setVisible(s_.current_group >= 2);
    next_->setVisible(s_.current_group < s_.group_count());
    chart_->setTitle(plain_title(s_.current_label()));
    const GraphTypeSettings& t = s_.type_settings();
    // The caption goes into the title of the window that holds the chart, before the file's name.
    window()->setWindowTitle(QString::fromStdString(t.caption) + " - " + title_);
    y_axis_->setTitleText(QString::fromStdString(t.y_title));
    set_axis(y_axis_, t.y_min, t.y_max, t.y_division);
    set_axis(x_axis_, s_.view_low, s_.view_high, s_.view_division);
    const CurveGrid& g = s_.curves().grid;
    set_slider(XLow, g.computed_low, g.computed_high, s_.x_low_value);
    set_slider(XHigh, g.computed_low, g.computed_high, s_.x_high_value);
    set_slider(YLow, t.slider_min, t.slider_max, t.y_low);
    set_slider(YHigh, t.slider_min, t.slider_max, t.y_high);
    sync_fine_tune();
    set_axis_controls_enabled(true);
    note_->setVisible(!s_.curves_drawn());
    place_note();
    show();
}

// The note stands in the middle of the plot area, on two lines where one is wider than the plot.
void ChartWindow::place_note() {
    const QRectF plot = chart_->plotArea();
    QString text = QString::fromUtf8(kChainCurvesNotDrawn);
    if (QFontMetrics(note_->font()).horizontalAdvance(text) > plot.width())
        text.replace(text.indexOf(QStringLiteral(" (")), 1, QLatin1Char('\n'));
    note_->setText(text);
    const QRectF room = note_->boundingRect();
    note_->setPos(plot.center().x() - room.width() / 2, plot.center().y() - room.height() / 2);
}

// Setting a slider's range and value from the program applies nothing.
void ChartWindow::set_slider(SliderId id, int lo, int hi, int value) {
    const QSignalBlocker quiet(sliders_[id]);
    sliders_[id]->setRange(lo, hi);
    // Tick marks a round step apart, at most 20 of them over the slider.
    sliders_[id]->setTickInterval(static_cast<int>(std::max(1.0, round_axis_step(hi - lo, kMostAxisDivisions))));
    sliders_[id]->setValue(value);
}

void ChartWindow::set_axis_controls_enabled(bool enabled) {
    for (QSlider* s : sliders_) s->setEnabled(enabled);
    for (QSpinBox* b : {fine_low_, fine_high_}) b->setEnabled(enabled);
}

void ChartWindow::sync_fine_tune() {
    for (auto [spin, id] : {std::pair{fine_low_, XLow}, std::pair{fine_high_, XHigh}}) {
        const QSignalBlocker quiet(spin);
        spin->setRange(sliders_[id]->minimum(), sliders_[id]->maximum());
        spin->setValue(sliders_[id]->value());
    }
}

void ChartWindow::select_graph(int type) {
    s_.graph_type = type;
    draw_chart();
}

void ChartWindow::show_next_item_curve() {
    ++s_.current_group;
    load_work_file_and_compute_curves();
}

void ChartWindow::show_previous_item_curve() {
    --s_.current_group;
    load_work_file_and_compute_curves();
}

void ChartWindow::copy_plot_picture_to_clipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setPixmap(view_->grab());
    show_message("Graph copied to clipboard.  You may paste it elsewhere.");
}

void ChartWindow::copy_plot_data_to_clipboard() {
    if (!s_.curves_drawn()) {
        show_message(QStringLiteral("No graph data copied.  ") + QString::fromUtf8(kChainCurvesNotDrawn));
        return;
    }
    QGuiApplication::clipboard()->setText(
        QString::fromStdString(chart_data_text(s_.current_series(), s_.type_settings().y_title)));
    show_message("Graph Data copied to clipboard.  You may paste it elsewhere.");
}

}  // namespace korvelan::graphs
