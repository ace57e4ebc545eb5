// The component library's single export. The host calls it once per component it
// creates, with its own host object (not owned by the component, valid until the
// component is destroyed; may be null) and the folder of the UI files (copied).
// The result is owned by the host until it destroys it through the virtual
// destructor, which releases it inside the library; null when no object could be
// allocated, in which case nothing was sent.
#pragma once

#include "ClientHost.h"
#include "tarn_client_callback.h"
#include "tarn_export.h"

TARN_COMPONENT_EXPORT tarn_client_callback* TARN_CDECL load_tarn_client_script(ClientHost* host,
                                                                               const char* path);

// The factory's type, for hosts that resolve it with the platform loader.
typedef tarn_client_callback*(TARN_CDECL* load_tarn_client_script_fn)(ClientHost* host,
                                                                      const char* path);
