// The device catalog as the wizard reads it: the vendors of table "cellphone" (index
// "nameindex") and, per vendor, the models of table "cellphoneconfig" (index "typeindex") with
// their screen width and height, from the encrypted database aloha.alo beside the program.
//
// The main window owns one TDeviceCatalog for the whole run. Errors are not caught here: they
// reach the program's default error report, and whatever was added to a list before the error
// stays there.
#pragma once

#include <string>

#include "tessdb/access/database.h"
#include "tessdb/access/tess_table.h"

class QListWidget;

class TDeviceCatalog {
 public:
  TDeviceCatalog();

  // (Re)opens the database at path and both tables with the catalog password.
  void OpenCatalog(const std::string& path);
  // Closes the database and with it both tables.
  void CloseCatalog();
  // Empties vendors, then adds the name of every record of "cellphone" in index order, untrimmed.
  void FillVendorList(QListWidget& vendors);
  // Empties the three lists, then adds type, width and height of every model of the vendor, in
  // index order. The vendor text goes into the filter unchanged.
  void FillModelList(const std::string& vendor, QListWidget& models, QListWidget& widths,
                     QListWidget& heights);

  // Declared first, destroyed last: the tables go before their database.
  tessdb::TTessDatabase TessDatabase1;
  tessdb::TTessTable TessTable1;  // vendors
  tessdb::TTessTable TessTable2;  // models
};
