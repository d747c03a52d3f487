#ifndef RESULTVIEWFEATURES_H
#define RESULTVIEWFEATURES_H

class EngineActivity;
class OutputAppender;
class QMainWindow;
class QuorW;

// Adds to the window's result views what lets the user read and act on them: the engine
// activity indicator with Stop, the Error dock's count, the term tables' Copy and Export CSV...,
// and the lead from a clicked graph box to the document line that states it. The window's
// widgets are found by their object names. Returns the engine activity indicator.
EngineActivity* installResultViewFeatures(QMainWindow* window, QuorW* engine,
                                          OutputAppender* output);

#endif
