#pragma once
// The common controls of the class library's ComCtrls unit in one include:
// list and tree views, header, page control, status and tool bars,
// progress bar, and the image lists they show pictures from.

#include "platform/vcl/ComCtrlsTypes.h"
#include "platform/vcl/HeaderControl.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/StatusBar.h"
#include "platform/vcl/ToolBar.h"
#include "platform/vcl/TreeView.h"
