// Start-up and vendor clicks of the wizard's first page, with the real windows (offscreen):
//   start   from creating the main window to its vendor list being filled (open the catalog,
//           both tables, the vendor walk)
//   click   a vendor click to the three model lists being filled (Filter + FindFirst/FindNext)
// on the sample catalog built beside this program (aloha.alo from data/phones.csv) and on a
// generated catalog of 2,000 vendors and 100,000 models. Prints the best of several runs in ms.
//
// Usage: catalog_bench [runs, default 5]
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/catalog/catalog_file.h"
#include "app/form1.h"
#include "platform/message_box.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

void WriteLargeCatalog(const std::string& path) {
  constexpr int kVendors = 2000;
  constexpr int kModels = 100000;
  std::vector<std::string> vendors;
  for (int i = 0; i < kVendors; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Vendor %04d", (i * 7919) % kVendors);
    vendors.push_back(name);
  }
  std::mt19937 random(12345);
  std::vector<TCatalogModel> models;
  models.reserve(kModels);
  for (int i = 0; i < kModels; ++i) {
    const std::string& vendor = vendors[random() % kVendors];
    models.push_back({vendor, "Model " + std::to_string(random() % 1000000),
                      static_cast<int32_t>(96 + random() % 1000),
                      static_cast<int32_t>(65 + random() % 1000)});
  }
  WriteCatalogFile(path, vendors, models);
}

// Runs the start-up and a click on the middle vendor `runs` times in the program folder.
void Measure(const char* label, const std::string& folder, int runs) {
  double bestStart = 1e300;
  double bestClick = 1e300;
  int vendors = 0;
  int models = 0;
  for (int run = 0; run < runs; ++run) {
    const auto started = Clock::now();
    auto form = std::make_unique<TForm1>(folder + "/tessivo");
    bestStart = std::min(bestStart, Milliseconds(Clock::now() - started));
    vendors = form->ListBox1->count();
    if (vendors == 0) {
      std::fprintf(stderr, "%s: no vendors listed\n", label);
      std::exit(1);
    }
    const auto clicked = Clock::now();
    form->ListBox1->setCurrentRow(vendors / 2);
    bestClick = std::min(bestClick, Milliseconds(Clock::now() - clicked));
    models = form->ListBox2->count();
  }
  std::printf("%-26s %8d %8d %12.2f %12.2f\n", label, vendors, models, bestStart, bestClick);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  TApplication application(argc, argv);
  SetMessageBoxHandler([](const TMessageBoxRequest& request) {
    std::fprintf(stderr, "message: %s\n", request.text.c_str());
    std::exit(1);
    return false;
  });

  QTemporaryDir sample;
  QTemporaryDir large;
  const std::string sampleFolder = sample.path().toStdString();
  const std::string largeFolder = large.path().toStdString();
  if (!QFile::copy(QCoreApplication::applicationDirPath() + "/aloha.alo",
                   QString::fromStdString(sampleFolder + "/aloha.alo"))) {
    std::fprintf(stderr, "the sample catalog aloha.alo is not beside this program\n");
    return 1;
  }
  WriteLargeCatalog(largeFolder + "/aloha.alo");

  std::printf("%-26s %8s %8s %12s %12s\n", "catalog", "vendors", "models", "start ms",
              "click ms");
  Measure("sample (phones.csv)", sampleFolder, runs);
  Measure("2,000 x 100,000 generated", largeFolder, runs);
  return 0;
}
