// talvorin: draws the rating-scale curves of the graphs work file that korvelan writes and
// starts it on: talvorin GRAPH_TYPE WORK_FILE.
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMessageBox>

#include "graphs/chart_window.h"

int main(int argc, char** argv) {
    using namespace korvelan::graphs;
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Korvelan Graphs");
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    const StartRequest request =
        parse_command_line(args, QDir::tempPath().toStdString() + "/zvb708kv.txt");
    const std::string problem = start_up_message(request, !args.empty());
    if (!problem.empty()) {
        QMessageBox::information(nullptr, "Korvelan Graphs", QString::fromStdString(problem));
        return 1;
    }
    const QString title = QString::fromStdString(graphs_title(request.path));
    QApplication::setApplicationDisplayName(title);
    QMainWindow frame;
    frame.setWindowTitle(title);
    GraphsSession session(request.path, request.graph_type);
    auto* chart = new ChartWindow(session, title);
    frame.setCentralWidget(chart);
    frame.resize(900, 760);
    frame.show();
    chart->load_work_file_and_compute_curves();
    return QApplication::exec();
}
