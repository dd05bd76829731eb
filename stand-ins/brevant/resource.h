// Resource identifiers of Brevant.dll.
#pragma once
#define IDS_BREVANT_NAME 1
