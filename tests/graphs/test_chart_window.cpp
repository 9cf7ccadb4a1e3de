// The chart window of the graphs program under the offscreen platform: the graph of a work file
// that a real analysis wrote, the buttons, the sliders and fine-tune controls, and the two
// clipboard copies. Screenshots of graph types 1 and 4 are left in the test folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLineSeries>
#include <QMainWindow>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "engine/driver/run_analysis.h"
#include "engine/estimation/category_curves.h"
#include "engine/outfiles/graphs_file.h"
#include "engine/outfiles/output_wiring.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/tables/curve_plots.h"
#include "graphs/chart_data.h"
#include "graphs/chart_window.h"
#include "tests/graphs/graphs_files.h"
#include "tests/support/analysis_run.h"
#include "tests/support/data_sets.h"

using namespace korvelan::graphs;
using namespace korvelan::testing;

namespace {

// One application for the whole test program, left for the process's end to take (destroying
// it among the static objects would come after Qt's own are gone).
QApplication& application() {
    static int argc = 1;
    static char name[] = "talvorin";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A window on a work file, recording its messages.
struct Window {
    GraphsSession session;
    ChartWindow window;
    std::vector<std::string> messages;
    Window(const std::string& path, int type) : session(path, type), window(session, "Graphs test") {
        window.show_message = [this](const QString& m) { messages.push_back(m.toStdString()); };
        window.resize(900, 700);
        window.load_work_file_and_compute_curves();
        QApplication::processEvents();
    }
};

std::string replace_first_line(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find("\r\n" + from + "\r\n");
    return at == std::string::npos ? text : text.replace(at + 2, from.size(), to);
}

// Whether a pixel in the 9 x 9 square around the point has the colour of the first or second
// curve (dark blue or dark red, whatever the anti-aliasing adds).
bool curve_coloured_near(const QImage& image, QPoint at) {
    for (int dx = -4; dx <= 4; ++dx)
        for (int dy = -4; dy <= 4; ++dy) {
            const QColor c = image.pixelColor(at + QPoint(dx, dy));
            const bool blue = c.blue() > 120 && c.red() < 90 && c.green() < 90;
            const bool red = c.red() > 120 && c.blue() < 90 && c.green() < 90;
            if (blue || red) return true;
        }
    return false;
}

// The two-group file at 10 units a logit, measures -24 .. 31: x sliders from -60 to 80.
std::string ten_units_a_logit() {
    std::string text = replace_first_line(two_group_work_file(), "    1.0000", "   10.0000");
    text = replace_first_line(text, "   -2.4000", "  -24.0000");
    return replace_first_line(text, "    3.1000", "   31.0000");
}

// The graphs work file of the rating-scale data set analysed with the settings.
std::string real_work_file(AnalysisRun& r, const std::string& settings) {
    write_file(r.dir.file("ctl.txt"), rating_scale_set(settings));
    r.run.args = {r.dir.file("ctl.txt"), r.dir.file("out.txt"), "BATCH=Y"};
    r.run.input.stop_before_estimation = false;
    EXPECT_EQ(korvelan::run_analysis(r.run), 0) << r.host.screen();
    korvelan::OutputSettings s = korvelan::output_settings_from_controls(r.run);
    korvelan::RunEntryRecords records(r.run);
    EXPECT_TRUE(korvelan::write_graphs_work_file(r.run, s, r.run.arrays, records));
    return korvelan::graphs_work_file_path(r.run);
}

// The rating-scale data set with every response 2 scored 3: category 2 is not observed inside
// the kept structure (STKEEP=Y by default).
std::string gap_work_file(AnalysisRun& r, const std::string& settings) {
    std::string text = rating_scale_set(settings);
    for (std::size_t at = text.find("END LABELS") + 10; at < text.size(); ++at) {
        if (text[at] == '2') text[at] = '3';
    }
    write_file(r.dir.file("gap.txt"), text);
    r.run.args = {r.dir.file("gap.txt"), r.dir.file("out.txt"), "BATCH=Y"};
    r.run.input.stop_before_estimation = false;
    EXPECT_EQ(korvelan::run_analysis(r.run), 0) << r.host.screen();
    korvelan::OutputSettings s = korvelan::output_settings_from_controls(r.run);
    korvelan::RunEntryRecords records(r.run);
    EXPECT_TRUE(korvelan::write_graphs_work_file(r.run, s, r.run.arrays, records));
    return korvelan::graphs_work_file_path(r.run);
}

// The texts the chart shows as text items (its title among them), blanks as plain blanks.
std::vector<QString> shown_texts(QChart* chart) {
    std::vector<QString> texts;
    for (QGraphicsItem* item : chart->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item))
            texts.push_back(text->toPlainText().replace(QChar(QChar::Nbsp), QLatin1Char(' ')));
    return texts;
}

QPushButton* button(QWidget& window, const QString& caption) {
    for (QPushButton* b : window.findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

TEST(GraphsWindow, GraphsOfARealRunCrossAtTheFirstStep) {
    application();
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    const std::string folder = std::string(here) + "/";
    AnalysisRun r;
    Window w(real_work_file(r, ""), 1);
    ASSERT_TRUE(w.messages.empty()) << w.messages[0];
    ASSERT_EQ(w.session.group_count(), 1);
    const GraphsGroup& g = w.session.data().groups[0];
    ASSERT_EQ(g.top, 3);
    EXPECT_TRUE(w.window.next_button()->isHidden());
    EXPECT_TRUE(w.window.previous_button()->isHidden());
    const std::vector<QString> texts = shown_texts(w.window.chart());
    EXPECT_NE(std::find(texts.begin(), texts.end(), QString::fromStdString(g.label)), texts.end()) << g.label;
    EXPECT_EQ(w.window.x_axis()->titleText(), "Measure relative to item difficulty");
    EXPECT_EQ(w.window.y_axis()->titleText(), "Category Probability");
    EXPECT_EQ(w.window.windowTitle(), "Category Probability Curves - Graphs test");
    EXPECT_EQ(w.window.chart()->series().size(), 4);

    // Categories 0 and 1 are equally probable where the measure is the first step.
    korvelan::CurveGroup model{g.top, 'R', g.steps, {}, w.session.data().exponent_cap};
    float p[4];
    korvelan::compute_category_curve_values(model, g.steps[1], p);
    ASSERT_NEAR(p[0], p[1], 1e-5);
    const QPointF crossing(g.steps[1] * w.session.data().scale, p[0]);
    auto* first = static_cast<QLineSeries*>(w.window.chart()->series()[0]);
    const QPoint at = w.window.chart_view()->mapFromScene(
        w.window.chart()->mapToScene(w.window.chart()->mapToPosition(crossing, first)));
    const QImage type1 = w.window.chart_view()->grab().toImage();
    EXPECT_TRUE(curve_coloured_near(type1, at)) << at.x() << "," << at.y();
    EXPECT_FALSE(curve_coloured_near(type1, at + QPoint(0, -60)));  // above both curves, blank
    EXPECT_TRUE(type1.save(QString::fromStdString(folder + "talvorin_type1.png")));

    w.window.select_graph(4);
    EXPECT_EQ(w.window.y_axis()->titleText(), "Information");
    EXPECT_EQ(w.window.chart()->series().size(), 1);
    EXPECT_EQ(w.window.y_axis()->max(), std::ceil(w.session.curves().grid.maximum_information));
    EXPECT_TRUE(w.window.chart_view()->grab().save(QString::fromStdString(folder + "talvorin_type4.png")));
}

// An origin (UMEAN=) above 10,000 is only stored: the curves are those of the origin 0.
TEST(GraphsWindow, AnOriginAbove10000DrawsTheSameCurves) {
    application();
    std::vector<SeriesRow> at_zero;
    {
        AnalysisRun r;
        Window w(real_work_file(r, "USCALE=100\n"), 3);
        ASSERT_TRUE(w.messages.empty()) << w.messages[0];
        at_zero = w.session.current_series();
    }
    AnalysisRun r;
    Window w(real_work_file(r, "UMEAN=20000\nUSCALE=100\n"), 3);
    ASSERT_TRUE(w.messages.empty()) << w.messages[0];
    EXPECT_EQ(w.session.data().origin, 20000.0);
    EXPECT_EQ(w.session.current_series(), at_zero);
    EXPECT_EQ(w.window.chart()->series().size(), 3);
}

// The title is the label exactly as read, markup characters and runs of blanks included; the
// graph type's caption stands in the title of the window that holds the chart.
TEST(GraphsWindow, TheLabelShowsAsReadAndTheCaptionInTheWindowTitle) {
    application();
    ScratchDir dir;
    const std::string path = dir.file("ZVB007kv.txt");
    const std::string label = "income<20000 & age < 30 -> \"low\"   <b>bold?</b>&amp;";
    write_file(path, two_group_work_file(label));
    QMainWindow frame;
    GraphsSession session(path, 1);
    auto* chart = new ChartWindow(session, "Graphs 007kv.txt");
    std::vector<std::string> messages;
    chart->show_message = [&](const QString& m) { messages.push_back(m.toStdString()); };
    frame.setCentralWidget(chart);
    frame.resize(1200, 760);
    frame.show();
    chart->load_work_file_and_compute_curves();
    QApplication::processEvents();
    ASSERT_TRUE(messages.empty()) << messages[0];
    const std::vector<QString> texts = shown_texts(chart->chart());
    EXPECT_NE(std::find(texts.begin(), texts.end(), QString::fromStdString(label)), texts.end());
    EXPECT_EQ(frame.windowTitle(), "Category Probability Curves - Graphs 007kv.txt");
    chart->select_graph(5);
    EXPECT_EQ(frame.windowTitle(), "Category Information Function - Graphs 007kv.txt");
    chart->show_next_item_curve();
    QApplication::processEvents();
    const std::vector<QString> second = shown_texts(chart->chart());
    EXPECT_NE(std::find(second.begin(), second.end(), "FOR GROUP: \"B\",  ITEM NUMBER: 5  Q5"), second.end());
}

// A folder where the work file should be: the message, no abort, and a window with nothing to
// move or adjust until a reading succeeds.
TEST(GraphsWindow, AFailedFirstReadingShowsNoControlsUntilTheFileIsRead) {
    application();
    ScratchDir dir;
    const std::string path = dir.file("ZVB008kv.txt");
    std::filesystem::create_directories(path);
    Window w(path, 1);
    EXPECT_EQ(w.messages, (std::vector<std::string>{"Korvelan Graphs: " + path + " failed"}));
    EXPECT_TRUE(w.window.next_button()->isHidden());
    EXPECT_TRUE(w.window.previous_button()->isHidden());
    EXPECT_FALSE(w.window.slider(ChartWindow::XLow)->isEnabled());
    EXPECT_FALSE(w.window.fine_tune(true)->isEnabled());
    EXPECT_TRUE(w.window.chart()->series().isEmpty());

    std::filesystem::remove(path);
    write_file(path, two_group_work_file());
    w.window.select_graph(1);
    EXPECT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.window.chart()->series().size(), 4);
    EXPECT_FALSE(w.window.next_button()->isHidden());
    EXPECT_TRUE(w.window.slider(ChartWindow::XLow)->isEnabled());
}

// Next and Previous keep their places when hidden, so that the other buttons never move; a
// value typed into a fine-tune box is applied as typed, not snapped.
TEST(GraphsWindow, ButtonsKeepTheirPlacesAndTypedFineTuneValuesApply) {
    application();
    ScratchDir dir;
    const std::string path = dir.file("ZVB010kv.txt");
    write_file(path, ten_units_a_logit());
    Window w(path, 1);
    QApplication::processEvents();
    QPushButton* copy = button(w.window, "Copy Plot to Clipboard");
    ASSERT_NE(copy, nullptr);
    const QRect copy_place = copy->geometry(), next_place = w.window.next_button()->geometry();
    w.window.show_next_item_curve();
    QApplication::processEvents();
    EXPECT_TRUE(w.window.next_button()->isHidden());
    EXPECT_EQ(copy->geometry(), copy_place);
    w.window.show_previous_item_curve();
    QApplication::processEvents();
    EXPECT_EQ(w.window.next_button()->geometry(), next_place);
    EXPECT_EQ(copy->geometry(), copy_place);

    // The x maximum is 46: -30 is 76 below it, which a drag would snap to -34.
    w.window.fine_tune(false)->setValue(-30);
    EXPECT_EQ(w.window.slider(ChartWindow::XLow)->value(), -30);
    EXPECT_EQ(w.window.x_axis()->min(), -30);
    w.window.fine_tune(true)->setValue(70);
    EXPECT_EQ(w.window.x_axis()->max(), 70);
    w.window.fine_tune(true)->setValue(-40);  // below the minimum: one above it
    EXPECT_EQ(w.window.x_axis()->max(), -29);
    EXPECT_EQ(w.window.fine_tune(true)->value(), -29);
}

TEST(GraphsWindow, SlidersFineTuneAndGroups) {
    application();
    ScratchDir dir;
    const std::string path = dir.file("ZVB003kv.txt");
    write_file(path, ten_units_a_logit());
    Window w(path, 1);
    ASSERT_TRUE(w.messages.empty());
    QSlider* xl = w.window.slider(ChartWindow::XLow);
    EXPECT_EQ(w.window.x_axis()->max(), 46);
    EXPECT_EQ(xl->minimum(), -60);
    EXPECT_EQ(xl->maximum(), 80);
    xl->setValue(46 - 47);  // a drag: snapped to 40 below the maximum
    EXPECT_EQ(xl->value(), 6);
    EXPECT_EQ(w.window.x_axis()->min(), 6);
    w.window.step_min_x(-1);  // fine-tune: one step, not snapped
    EXPECT_EQ(xl->value(), 5);
    EXPECT_EQ(w.window.x_axis()->min(), 5);
    xl->setValue(46);  // onto the maximum slider: one below it
    EXPECT_EQ(xl->value(), 45);
    QSlider* xh = w.window.slider(ChartWindow::XHigh);
    xh->setValue(80);  // 35 above the minimum snaps to 40 above, held at the slider's end
    EXPECT_EQ(xh->value(), 80);
    EXPECT_EQ(w.window.x_axis()->max(), 80);
    EXPECT_EQ(w.window.x_axis()->tickInterval(), 2.0);  // 35 units: 18 divisions of 2
    w.window.step_max_x(-1);
    EXPECT_EQ(w.window.x_axis()->max(), 79);
    xh->setValue(20);  // below the minimum slider: one above it
    EXPECT_EQ(xh->value(), 46);

    // Probability graph: the minimum y slider at 3 gives 0.3 and 7 divisions, kept as 0.
    w.window.slider(ChartWindow::YLow)->setValue(3);
    EXPECT_DOUBLE_EQ(w.window.y_axis()->min(), 0.3);
    EXPECT_EQ(w.window.y_axis()->tickCount(), 8);
    w.window.select_graph(2);
    w.window.select_graph(1);
    EXPECT_EQ(w.window.y_axis()->min(), 0.0);

    EXPECT_FALSE(w.window.next_button()->isHidden());
    EXPECT_TRUE(w.window.previous_button()->isHidden());
    w.window.show_next_item_curve();
    EXPECT_EQ(w.session.current_group, 2);
    EXPECT_TRUE(w.window.next_button()->isHidden());
    EXPECT_FALSE(w.window.previous_button()->isHidden());
    EXPECT_EQ(w.window.chart()->series().size(), 2);

    // A truncated rewrite: the message, and the last curves still drawn by a graph button.
    write_file(path, ten_units_a_logit().substr(0, 40));
    set_modified(path, 1700000000, 5);
    w.window.select_graph(2);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_NE(w.messages[0].find("Not enough data in " + path), std::string::npos);
    EXPECT_EQ(w.window.chart()->series().size(), 1);
    EXPECT_EQ(w.window.y_axis()->titleText(), "Expected Score");
}

TEST(GraphsWindow, AnUncomputedGroupLeavesTheInformationSliderAlone) {
    application();
    ScratchDir dir;
    const std::string path = dir.file("ZVB004kv.txt");
    // Group A of the success chain.
    const std::string text = two_group_work_file();
    write_file(path, text.substr(0, text.find("\r\n0\r\n0\r\n")) + "\r\n11\r\n0\r\n" +
                         text.substr(text.find("\r\n0\r\n0\r\n") + 8));
    Window w(path, 4);
    ASSERT_TRUE(w.messages.empty()) << w.messages[0];
    ASSERT_EQ(w.session.data().groups[0].model_code, 11);
    w.window.apply_min_y_slider();
    w.window.apply_max_y_slider();
    EXPECT_EQ(w.window.y_axis()->min(), 0.0);
    EXPECT_EQ(w.window.y_axis()->max(), 1.0);
}

// A real analysis whose middle category is never observed: at every user scale each graph
// type's data copy has the curves of the report's curve model (the same group of the analysis
// arrays), category 2 left out, within 1e-4.
TEST(GraphsWindow, AnUnobservedCategoryOfARealRunIsLeftOutAsInTheReport) {
    application();
    for (const std::string scale : {"1", "100", "-100"}) {
        AnalysisRun r;
        const std::string path = gap_work_file(r, "USCALE=" + scale + "\n");
        GraphsSession session(path, 1);
        ASSERT_EQ(session.load_and_compute(), "");
        ASSERT_EQ(session.data().groups[0].status, (std::vector<std::int32_t>{0, 1, 0, 1}));
        const korvelan::CurveGroup report = korvelan::curve_group(r.run.arrays, 1);
        const CurveGrid& grid = session.curves().grid;
        const korvelan::CurveSeries c = korvelan::compute_curve_series(
            report, static_cast<float>(grid.computed_low), grid.increment, grid.point_count + 1,
            session.data().scale);
        const int kept[] = {0, 1, 3};
        const float bottom = static_cast<float>(session.data().groups[0].bottom_value);
        double largest = 0.0;
        for (int type = 1; type <= 5; ++type) {
            session.graph_type = type;
            const auto curves = split_curves(session.current_series());
            ASSERT_EQ(curves.size(), type == 2 || type == 4 ? 1u : type == 3 ? 2u : 3u) << type;
            for (std::size_t k = 0; k < curves.size(); ++k) {
                ASSERT_EQ(curves[k].size(), static_cast<std::size_t>(c.points));
                for (int p = 0; p < c.points; ++p) {
                    const int j = kept[k];
                    const float want = type == 1   ? c.probability_at(p, j)
                                       : type == 2 ? c.expected[static_cast<std::size_t>(p)] + bottom
                                       : type == 3 ? c.cumulative_at(p, j)
                                       : type == 4 ? c.information[static_cast<std::size_t>(p)]
                                                   : c.category_information[static_cast<std::size_t>(p * 4 + j)];
                    largest = std::max(largest, std::fabs(double(curves[k][static_cast<std::size_t>(p)].y) - want));
                }
            }
        }
        EXPECT_LT(largest, 1e-4) << scale;
    }
}

// Whether a step is 1, 2 or 5 times a power of ten.
bool round_step(double step) {
    const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double m = step / power;
    return std::fabs(m - 1) < 1e-9 || std::fabs(m - 2) < 1e-9 || std::fabs(m - 5) < 1e-9;
}

// The axis's divisions: the tick count less one, or the range over the interval of round ticks.
double axis_divisions(QValueAxis* axis) {
    if (axis->tickType() == QValueAxis::TicksFixed) return axis->tickCount() - 1;
    EXPECT_TRUE(round_step(axis->tickInterval())) << axis->tickInterval();
    return (axis->max() - axis->min()) / axis->tickInterval();
}

// At every user scale, on every graph type, both axes have at most 20 divisions, the measures
// are labelled at round values and no label is cut short.
TEST(GraphsWindow, AxesHaveAtMostTwentyRoundLabelledDivisionsAtEveryScale) {
    application();
    ScratchDir dir;
    for (const std::string scale : {"1", "100", "10000", "-100", "100000"}) {
        const double units = std::stod(scale);
        const std::string path = dir.file("ZVB" + std::to_string(static_cast<long>(units) % 1000 + 500) + "kv.txt");
        char low[16], high[16], line[16];
        std::snprintf(line, sizeof line, "%10.4f", units);
        std::snprintf(low, sizeof low, "%10.4f", -2.4 * std::fabs(units));
        std::snprintf(high, sizeof high, "%10.4f", 3.1 * std::fabs(units));
        std::string text = replace_first_line(two_group_work_file(), "    1.0000", line);
        text = replace_first_line(text, "   -2.4000", low);
        write_file(path, replace_first_line(text, "    3.1000", high));
        Window w(path, 1);
        ASSERT_TRUE(w.messages.empty()) << w.messages[0];
        for (int type = 1; type <= 5; ++type) {
            w.window.select_graph(type);
            QApplication::processEvents();
            EXPECT_LE(axis_divisions(w.window.x_axis()), 20.0) << scale << " type " << type;
            EXPECT_GE(axis_divisions(w.window.x_axis()), 4.0) << scale << " type " << type;
            EXPECT_LE(axis_divisions(w.window.y_axis()), 20.0) << scale << " type " << type;
            int numbers = 0;
            for (const QString& t : shown_texts(w.window.chart())) {
                EXPECT_FALSE(t.contains("...") || t.contains(QChar(0x2026))) << scale << " type " << type << ": "
                                                                            << t.toStdString();
                bool number = false;
                t.toDouble(&number);
                numbers += number;
            }
            EXPECT_GE(numbers, 8) << scale << " type " << type;
        }
    }
}

// On a success-chain group every graph type replaces the previous graph: its y title, no
// curve, the note that says so, and the information graphs' range 0..0 shown as 0..1.
TEST(GraphsWindow, EveryGraphTypeIsDrawnOnAnUncomputedGroup) {
    application();
    ScratchDir dir;
    const std::string path = dir.file("ZVB009kv.txt");
    const std::string text = two_group_work_file();
    write_file(path, text.substr(0, text.find("\r\n0\r\n0\r\n")) + "\r\n11\r\n0\r\n" +
                         text.substr(text.find("\r\n0\r\n0\r\n") + 8));
    Window w(path, 1);
    ASSERT_TRUE(w.messages.empty()) << w.messages[0];
    const char* titles[] = {"", "Category Probability", "Expected Score", "Cumulative Probability", "Information",
                            "Category Information"};
    for (int type : {2, 4, 1, 5, 3, 4}) {
        w.window.select_graph(type);
        QApplication::processEvents();
        EXPECT_EQ(w.window.y_axis()->titleText(), titles[type]) << type;
        EXPECT_EQ(w.window.chart()->series().size(), 0) << type;
        EXPECT_TRUE(w.window.note()->isVisible()) << type;
        EXPECT_LT(w.window.y_axis()->min(), w.window.y_axis()->max()) << type;
        if (type >= 4) {
            EXPECT_EQ(w.window.y_axis()->max(), 1.0) << type;
        }
    }
    // The next group, a computed one, draws its curves and no note.
    w.window.show_next_item_curve();
    QApplication::processEvents();
    EXPECT_GT(w.window.chart()->series().size(), 0);
    EXPECT_FALSE(w.window.note()->isVisible());
}

// A real analysis of the success chain: the chart says that its curves are not drawn, shows no
// curve, and Copy Plot Data leaves the clipboard as it was instead of rows of zeros.
TEST(GraphsWindow, AChainModelIsSaidNotDrawnAndItsDataAreNotCopied) {
    application();
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    for (const char* model : {"S", "F"}) {
        AnalysisRun r;
        Window w(real_work_file(r, std::string("MODELS=") + model + "\n"), 1);
        ASSERT_TRUE(w.messages.empty()) << w.messages[0];
        ASSERT_GE(w.session.data().groups[0].model_code, 11) << model;
        EXPECT_EQ(w.window.chart()->series().size(), 0);
        const QRectF plot = w.window.chart()->plotArea();
        const QImage image = w.window.chart_view()->grab().toImage();
        if (*model == 'S') {
            EXPECT_TRUE(image.save(QString::fromStdString(std::string(here) + "/talvorin_chain.png")));
        }
        // The note's dark letters stand in the middle of the plot; no curve colour is anywhere in it.
        int dark = 0, coloured = 0;
        for (int x = static_cast<int>(plot.left()) + 3; x < plot.right() - 3; ++x)
            for (int y = static_cast<int>(plot.top()) + 3; y < plot.bottom() - 3; ++y) {
                const QColor c = image.pixelColor(
                    w.window.chart_view()->mapFromScene(w.window.chart()->mapToScene(QPointF(x, y))));
                if (c.lightness() < 100 && std::abs(c.red() - c.blue()) < 30) ++dark;
                if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60) ++coloured;
            }
        EXPECT_GT(dark, 100) << model;
        EXPECT_EQ(coloured, 0) << model;
        QGuiApplication::clipboard()->setText("earlier");
        w.window.copy_plot_data_to_clipboard();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "earlier");
        EXPECT_EQ(w.messages, (std::vector<std::string>{"No graph data copied.  The curves of the success and "
                                                        "failure chain models (S and F) are not drawn."}));
    }
}

TEST(GraphsWindow, CopiesThePictureAndTheData) {
    application();
    ScratchDir dir;
    const std::string path = dir.file("ZVB005kv.txt");
    write_file(path, two_group_work_file());
    Window w(path, 1);
    w.window.copy_plot_picture_to_clipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->pixmap().size(), w.window.chart_view()->size());
    w.window.copy_plot_data_to_clipboard();
    const QString data = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(data.startsWith("X\tCategory Probability\n"));
    EXPECT_EQ(data.count("\n\n"), 3);  // four curves
    EXPECT_EQ(w.messages, (std::vector<std::string>{"Graph copied to clipboard.  You may paste it elsewhere.",
                                                    "Graph Data copied to clipboard.  You may paste it elsewhere."}));
}

}  // namespace
