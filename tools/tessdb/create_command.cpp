// `tessdb create FILE --schema SCHEMA.json [--password TEXT --cipher NAME [--mode 0..4]]
// [--compress [--level 0..3]] [--verify-writes]`: a new, empty database with the schema's tables.
#include <memory>
#include <optional>

#include "platform/file_system.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/storage/database_authoring.h"
#include "tools/tessdb/commands.h"
#include "tools/tessdb/latin1.h"
#include "tools/tessdb/schema.h"

namespace tessdb_tool {
namespace {

struct CreateOptions {
  std::string file;
  std::string schema;
  std::optional<std::string> password;
  std::string cipher;
  int mode = 0;
  bool compress = false;
  int level = 1;
  bool verifyWrites = false;
};

void Create(const CreateOptions& options) {
  if (platform::FileExists(options.file)) {
    throw ToolError("File '" + options.file + "' already exists");
  }
  const std::vector<tessdb::TTableDefinition> tables = ReadSchemaFile(options.schema);

  tessdb::TNewDatabase settings;
  settings.compressed = options.compress;
  settings.level = static_cast<uint8_t>(options.level);
  settings.encrypted = options.password.has_value();
  if (options.password) {
    settings.password = Utf8ToLatin1(*options.password, "The password");
    settings.cipher = options.cipher;
    settings.mode = static_cast<uint8_t>(options.mode);
  }
  settings.verifyWrites = options.verifyWrites;

  // The whole database is made in memory first: a schema fault leaves no file behind.
  tessdb::TMemoryStream image;
  tessdb::CreateDatabase(image, settings);
  for (const tessdb::TTableDefinition& table : tables) tessdb::AddTable(image, table);
  tessdb::WriteNewFile(options.file, image);
}

}  // namespace

void AddCreateCommand(CLI::App& app) {
  auto options = std::make_shared<CreateOptions>();
  CLI::App* command =
      app.add_subcommand("create", "Create a new, empty database with the tables of a schema.");
  command->add_option("FILE", options->file, "Database file to create (must not exist)")
      ->required();
  command->add_option("--schema", options->schema, "JSON schema of the tables")->required();
  CLI::Option* password = command->add_option("--password", options->password,
                                              "Encrypt the database with this password");
  CLI::Option* cipher = command->add_option("--cipher", options->cipher, "Cipher of the encryption")
                            ->check(CLI::IsMember({"Blowfish", "Twofish", "Gost"}));
  CLI::Option* mode = command
                          ->add_option("--mode", options->mode,
                                       "Cipher mode: 0 chain, 1 CBC, 2 CFB8, 3 OFB8, 4 ECB")
                          ->check(CLI::Range(0, 4));
  password->needs(cipher);
  cipher->needs(password);
  mode->needs(password);
  CLI::Option* compress =
      command->add_flag("--compress", options->compress, "Compress blob data (ZLIB)");
  command->add_option("--level", options->level, "Compression level code 0..3 (default 1)")
      ->check(CLI::Range(0, 3))
      ->needs(compress);
  command->add_flag("--verify-writes", options->verifyWrites,
                    "Writers read every blob back and check it");
  command->callback([options] { Create(*options); });
}

}  // namespace tessdb_tool
