// Connects every command that has a handler; the rest stay disabled.
#pragma once

class CMainFrame;

void RouteCommands(CMainFrame& frame);
