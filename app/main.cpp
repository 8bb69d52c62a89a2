// The installer's one application object; the platform's entry runs it.
#include "app/setup_app.h"

CSetupApp theApp;
