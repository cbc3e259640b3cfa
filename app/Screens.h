#pragma once

class QWidget;

// The screen a launch selector opens as the main window: 1 the consignment and adjustment
// screen (given the launching user's id), 2 the customer quota group price report; any other
// selector opens nothing (nullptr).
QWidget *createScreen(int selector, int userId);
