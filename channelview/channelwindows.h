#pragma once

namespace vek {

class MDIMain;
class frmAdmin;
class frmChanView;
class frmCVCont;
class frmServerStatus;

// The one Channel View, or nullptr while it is closed.
frmChanView *chanView();
// Opens the Channel View inside the main window (or brings it to the front).
frmChanView *openChannelView(MDIMain *main);
// Redraws the open Channel View; nothing when it is closed.
void FillChanView();

// Shows the channel-control window for the Channel View's chosen channel; created on first
// use and kept afterwards.
frmCVCont *showChannelControl(frmChanView *view);
frmCVCont *channelControl();

// The administrator options and the server status window: one of each, brought to the
// front when already open.
frmAdmin *openAdminOptions(MDIMain *main);
frmServerStatus *openServerStatus(MDIMain *main);

// The main window's menus (and every Event View's) open these windows through here, and the
// core's channel-table updates redraw the Channel View.
void installChannelViewOpeners(MDIMain *main);

} // namespace vek
