// The component library's single export, cdecl, under this plain C name. The host
// calls it on its own thread, once per component it creates, with its host object
// (owned by the host, which keeps it alive until the component is destroyed; may
// be null) and the folder of the UI files (read during the call and copied). The
// result belongs to the host until it destroys it through slot 0 of the table
// (tarn_destroy_component), which releases it inside the library; null when no
// object could be allocated, in which case nothing was sent.
#pragma once

#include "ClientHost.h"
#include "tarn_client_callback.h"
#include "tarn_export.h"

TARN_COMPONENT_EXPORT tarn_client_callback* TARN_CDECL load_tarn_client_script(ClientHost* host,
                                                                               const char* path);

// The factory's type, for hosts that resolve it with the platform loader.
typedef tarn_client_callback*(TARN_CDECL* load_tarn_client_script_fn)(ClientHost* host,
                                                                      const char* path);
