#ifndef RESULTVIEWFEATURES_H
#define RESULTVIEWFEATURES_H

class EngineActivity;
class OutputAppender;
class QAction;
class QDockWidget;
class QListWidget;
class QMainWindow;
class QTabWidget;
class QTableWidget;
class QuorW;
class SvgView;

// What the result views' aids work with, handed over by the window.
struct ResultViewParts {
    QMainWindow* window;
    QuorW* engine;
    OutputAppender* output; // the Output dock
    QAction* beforeHelp;    // the Help menu's entry in the menu bar: Engine goes before it
    QTabWidget* documents;  // the documents' tab widget
    QDockWidget* errorDock;
    QListWidget* errors;
    QAction* run;
    QAction* stepForward;
    QTableWidget* words;
    QTableWidget* compounds;
    QTableWidget* statements;
    SvgView* questionTree;
    SvgView* inferenceGraph;
};

// Adds to the window's result views what lets the user read and act on them: the engine
// activity indicator with Stop, the Error dock's count, the term tables' Copy and Export CSV...,
// and the lead from a clicked graph box to the document line that states it. Returns the engine
// activity indicator.
EngineActivity* installResultViewFeatures(const ResultViewParts& parts);

#endif
