#pragma once
// The main window's parts that have no text of their own get a name a screen reader can say (the
// splitter's handle, the status bar's size grip, the toolbar's button for the buttons that do not fit),
// and the keyboard reaches the page box, the strip and the page view in that order with Tab, backwards
// with Shift+Tab.

class CMainFrame;

void SetUpFrameAccessibility(CMainFrame& frame);
