#include "sample_warehouse.h"

#include <sqlite3.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "backend.h"
#include "catalog_schema.h"
#include "errors.h"
#include "password_hash.h"
#ifdef ZEVDTAPI_WITH_POSTGRES
#include <unistd.h>

#include <cstdlib>

#include "pg_roles.h"
#endif
#include "sha256.h"
#include "sqlite_handle.h"

namespace zevdtapi {
namespace {

// A fixed generator, so that every run writes the same rows.
class Random {
  public:
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return uint32_t(state_ >> 33);
    }
    int Below(int n) { return int(Next() % uint32_t(n)); }

  private:
    uint64_t state_ = 20240607;
};

const char* const kWarehouseSql = R"SQL(
CREATE TABLE region (
    region_id INTEGER PRIMARY KEY,
    region TEXT NOT NULL,
    city TEXT NOT NULL
);
CREATE TABLE product (
    product_id INTEGER PRIMARY KEY,
    product TEXT NOT NULL,
    category TEXT NOT NULL,
    unit_price REAL NOT NULL
);
CREATE TABLE customer (
    customer_id INTEGER PRIMARY KEY,
    customer TEXT NOT NULL,
    segment TEXT NOT NULL
);
CREATE TABLE sales (
    sale_id INTEGER PRIMARY KEY,
    sale_date TEXT NOT NULL,
    year INTEGER NOT NULL,
    quarter TEXT NOT NULL,
    region_id INTEGER NOT NULL REFERENCES region(region_id),
    product_id INTEGER NOT NULL REFERENCES product(product_id),
    customer_id INTEGER NOT NULL REFERENCES customer(customer_id),
    quantity INTEGER NOT NULL,
    amount REAL NOT NULL,
    channel TEXT
);
CREATE TABLE employee (
    employee_id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    salary REAL NOT NULL
);
)SQL";

// Catalog: two data sources, four reports. Reports list their tables (the
// first is where the query starts, the others join to an earlier one), their
// columns, and which dimension of the intersection restricts which column.
const char* const kCatalogRows = R"SQL(
INSERT INTO dt_data_source (id, server_name, name, login_flags) VALUES
    (1, 'dwhost', 'SalesDW', 0),
    (2, 'securehost', 'SecureSales', 2);

INSERT INTO dt_report (id, data_source_id, name, customisable, list_position) VALUES
    (1, 1, 'Sales Detail', 1, 1),
    (2, 1, 'Product Summary', 0, 2),
    (3, 1, 'Customer Orders', 1, 3),
    (4, 2, 'Regional Revenue', 0, 1);

INSERT INTO dt_report_table (report_id, position, table_name, join_column, parent_table, parent_column) VALUES
    (1, 1, 'sales', NULL, NULL, NULL),
    (1, 2, 'region', 'region_id', 'sales', 'region_id'),
    (1, 3, 'product', 'product_id', 'sales', 'product_id'),
    (1, 4, 'customer', 'customer_id', 'sales', 'customer_id'),
    (2, 1, 'sales', NULL, NULL, NULL),
    (2, 2, 'product', 'product_id', 'sales', 'product_id'),
    (2, 3, 'region', 'region_id', 'sales', 'region_id'),
    (3, 1, 'sales', NULL, NULL, NULL),
    (3, 2, 'customer', 'customer_id', 'sales', 'customer_id'),
    (3, 3, 'region', 'region_id', 'sales', 'region_id'),
    (4, 1, 'sales', NULL, NULL, NULL),
    (4, 2, 'region', 'region_id', 'sales', 'region_id');

INSERT INTO dt_report_column (report_id, position, table_name, column_name, data_type,
                              display_position, sort_position, sort_direction) VALUES
    (1, 1, 'sales', 'sale_date', 11, 1, 1, 1),
    (1, 2, 'region', 'region', 10, 2, 0, 1),
    (1, 3, 'region', 'city', 10, 3, 0, 1),
    (1, 4, 'product', 'category', 10, 4, 0, 1),
    (1, 5, 'product', 'product', 10, 5, 0, 1),
    (1, 6, 'customer', 'customer', 10, 6, 0, 1),
    (1, 7, 'sales', 'quantity', 20, 7, 0, 1),
    (1, 8, 'sales', 'amount', 21, 8, 0, 1),
    (1, 9, 'sales', 'channel', 10, 9, 0, 1),
    (1, 10, 'customer', 'segment', 10, 0, 0, 1),
    (1, 11, 'sales', 'sale_id', 20, 0, 2, 1),
    (2, 1, 'product', 'category', 10, 1, 0, 1),
    (2, 2, 'product', 'product', 10, 2, 1, 1),
    (2, 3, 'sales', 'sale_date', 11, 3, 0, 1),
    (2, 4, 'sales', 'quantity', 20, 4, 0, 1),
    (2, 5, 'sales', 'amount', 21, 5, 0, 1),
    (2, 6, 'sales', 'sale_id', 20, 0, 2, 1),
    (3, 1, 'customer', 'customer', 10, 1, 0, 1),
    (3, 2, 'customer', 'segment', 10, 2, 0, 1),
    (3, 3, 'sales', 'sale_date', 11, 3, 1, 2),
    (3, 4, 'sales', 'amount', 21, 4, 0, 1),
    (3, 5, 'sales', 'sale_id', 20, 0, 2, 1),
    (4, 1, 'region', 'region', 10, 1, 1, 1),
    (4, 2, 'region', 'city', 10, 2, 2, 1),
    (4, 3, 'sales', 'year', 20, 3, 0, 1),
    (4, 4, 'sales', 'amount', 21, 4, 0, 1),
    (4, 5, 'sales', 'sale_id', 20, 0, 3, 1);

INSERT INTO dt_member_map (report_id, dimension, table_name, column_name) VALUES
    (1, 'Year', 'sales', 'year'),
    (1, 'Region', 'region', 'region'),
    (1, 'Category', 'product', 'category'),
    (1, 'Customer', 'customer', 'customer'),
    (2, 'Year', 'sales', 'year'),
    (2, 'Region', 'region', 'region'),
    (2, 'Category', 'product', 'category'),
    (3, 'Year', 'sales', 'year'),
    (3, 'Region', 'region', 'region'),
    (3, 'Customer', 'customer', 'customer'),
    (4, 'Year', 'sales', 'year'),
    (4, 'Region', 'region', 'region');
)SQL";

struct Place {
    const char* region;
    const char* city;
};
// Cities with their own letters, as a real warehouse stores them (UTF-8):
// "Plzeň" has a letter that code page 1252 cannot hold, "Tromsø" one that 1250 cannot.
const Place kPlaces[] = {{"North", "Aberdeen"},   {"North", "Bergen"}, {"North", "Troms\u00f8"},
                         {"South", "Sevilla"},    {"South", "Naples"}, {"South", "L'Aquila"},
                         {"East", "Krak\u00f3w"}, {"East", "Brno"},    {"East", "Plze\u0148"},
                         {"West", "Porto"},       {"West", "Nantes"},  {"West", "Galway"}};

struct Item {
    const char* product;
    const char* category;
    double price;
};
const Item kItems[] = {{"Cola", "Beverages", 1.25},
                       {"Lemonade", "Beverages", 1.10},
                       {"Orange Juice", "Beverages", 2.40},
                       {"Iced Tea", "Beverages", 1.60},
                       {"Mineral Water", "Beverages", 0.75},
                       {"\u62b9\u8336 Matcha", "Beverages", 7.90},
                       {"Crisps", "Snacks", 1.99},
                       {"Pretzels", "Snacks", 2.15},
                       {"Popcorn", "Snacks", 1.45},
                       {"Salted Nuts", "Snacks", 3.20},
                       {"Crackers", "Snacks", 1.80},
                       {"Chocolate Bar", "Snacks", 0.95},
                       {"Milk", "Dairy", 0.89},
                       {"Yogurt", "Dairy", 0.65},
                       {"Butter", "Dairy", 2.30},
                       {"Cheddar", "Dairy", 4.75},
                       {"Cream", "Dairy", 1.35},
                       {"Kefir", "Dairy", 1.55},
                       {"Bagel", "Bakery", 0.80},
                       {"Baguette", "Bakery", 1.20},
                       {"Croissant", "Bakery", 0.99},
                       {"Rye Bread", "Bakery", 2.60},
                       {"Muffin", "Bakery", 1.50},
                       {"Scone", "Bakery", 1.15}};

// Names longer than the 255 bytes a host item holds, in single- and double-byte letters.
const char* const kLongNames[] = {
    "Przedsi\u0119biorstwo Produkcyjno-Handlowo-Us\u0142ugowe \u201e\u017b\u00f3\u0142ty "
    "\u017buraw\u201d Sp\u00f3\u0142ka z ograniczon\u0105 odpowiedzialno\u015bci\u0105, Oddzi"
    "a\u0142 w Bielsku-Bia\u0142ej, Dzia\u0142 Zaopatrzenia i Sprzeda\u017cy Hurtowej \u015ar"
    "odk\u00f3w Spo\u017cywczych, Napoj\u00f3w i \u017bywno\u015bci Ekologicznej, ul. \u0179r"
    "\u00f3dlana 12, 43-300 Bielsko-Bia\u0142a",
    "\u682a\u5f0f\u4f1a\u793e\u5317\u6d77\u9053\u30b3\u30fc\u30d2\u30fc\u7119\u714e\u6240"
    "\u3000\u672d\u5e4c\u4e2d\u592e\u533a\u5927\u901a\u897f\u56db\u4e01\u76ee\u672c\u5e97"
    "\u3000\u55b6\u696d\u672c\u90e8\u3000\u5e83\u57df\u6d41\u901a\u63a8\u9032\u5ba4\u3000"
    "\u696d\u52d9\u7528\u98f2\u6599\u5378\u58f2\u8ab2\u3000\u6771\u65e5\u672c\u30fb\u5317"
    "\u6d77\u9053\u30fb\u6771\u5317\u5730\u533a\u62c5\u5f53\u3000\u55b6\u696d\u7b2c\u4e00"
    "\u30b0\u30eb\u30fc\u30d7\u3000\u6cd5\u4eba\u9867\u5ba2\u5c02\u7528\u7a93\u53e3\u3000"
    "\u53d7\u6ce8\u7ba1\u7406\u30bb\u30f3\u30bf\u30fc\u3000\u7269\u6d41\u8abf\u6574\u4fc2"
    "\u3000\u7b2c\u4e8c\u5009\u5eab\u51fa\u8377\u62c5\u5f53"
    "\u3000\u5927\u53e3\u53d6\u5f15\u5148\u5411\u3051\u7279\u5225\u4fa1\u683c\u898b\u7a4d\u308a\u53ca\u3073"
    "\u5b63\u7bc0\u9650\u5b9a\u5546\u54c1\u4f01\u753b\u62c5\u5f53"};

const char* const kSegments[] = {"Retail", "Wholesale", "Online", "Public Sector"};
const char* const kChannels[] = {"Store", "Online", "Phone"};
const char* const kFirst[] = {"Alder", "Birch",   "Cedar",   "Dune",   "Elm",   "Fjord",  "Granite", "Harbor",
                              "Iris",  "Juniper", "Kestrel", "Linden", "Maple", "Nordic", "O'Neil",  "Pine"};
const char* const kLast[] = {"Trading", "Foods",   "Markets", "Stores",   "Supply",    "& Sons",
                             "Group",   "Co-op",   "Outlet",  "Partners", "Wholesale", "Retail",
                             "Imports", "Kitchen", "Depot",   "Corner"};

void Build(sqlite3* db) {
    auto exec = [&](const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message ? message : sqlite3_errmsg(db);
            sqlite3_free(message);
            Fail(kQuery, text);
        }
    };
    exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN");
    exec(kWarehouseSql);
    exec(CatalogSchemaSql());
    exec(kCatalogRows);

    {
        Statement s(db, "INSERT INTO region (region_id, region, city) VALUES (?, ?, ?)");
        int id = 1;
        for (const Place& p : kPlaces) {
            s.BindInt(1, id++);
            s.BindText(2, p.region);
            s.BindText(3, p.city);
            s.Step();
            sqlite3_reset(s.get());
        }
    }
    {
        Statement s(db,
                    "INSERT INTO product (product_id, product, category, unit_price) VALUES (?, ?, ?, ?)");
        int id = 1;
        for (const Item& it : kItems) {
            s.BindInt(1, id++);
            s.BindText(2, it.product);
            s.BindText(3, it.category);
            sqlite3_bind_double(s.get(), 4, it.price);
            s.Step();
            sqlite3_reset(s.get());
        }
    }
    Random rnd;
    const int customers = 400;
    {
        Statement s(db, "INSERT INTO customer (customer_id, customer, segment) VALUES (?, ?, ?)");
        for (int id = 1; id <= customers; ++id) {
            std::string name = std::string(kFirst[(id - 1) % 16]) + " " + kLast[((id - 1) / 16) % 16] + " " +
                               std::to_string(id);
            if (id == 7 || id == 8)
                name = kLongNames[id - 7];
            s.BindInt(1, id);
            s.BindText(2, name);
            s.BindText(3, kSegments[rnd.Below(4)]);
            s.Step();
            sqlite3_reset(s.get());
        }
    }
    {
        static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        Statement s(
            db,
            "INSERT INTO sales (sale_id, sale_date, year, quarter, region_id, product_id, customer_id, "
            "quantity, amount, channel) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const int places = int(sizeof(kPlaces) / sizeof(kPlaces[0]));
        const int items = int(sizeof(kItems) / sizeof(kItems[0]));
        for (int id = 1; id <= kSampleSalesRows; ++id) {
            int year = 2023 + rnd.Below(3);
            int month = 1 + rnd.Below(12);
            int day = 1 + rnd.Below(kDays[month - 1]);
            char date[40];
            std::snprintf(date, sizeof(date), "%04d-%02d-%02d", year, month, day);
            char quarter[4] = {'Q', char('1' + (month - 1) / 3), 0, 0};
            int product = rnd.Below(items);
            int quantity = 1 + rnd.Below(20);
            int cents = int(kItems[product].price * 100 + 0.5) * quantity;
            int discount = rnd.Below(4) == 0 ? 10 : 0;
            cents = cents * (100 - discount) / 100;
            int channel = rnd.Below(20);
            s.BindInt(1, id);
            s.BindText(2, date);
            s.BindInt(3, year);
            s.BindText(4, quarter);
            s.BindInt(5, 1 + rnd.Below(places));
            s.BindInt(6, product + 1);
            s.BindInt(7, 1 + rnd.Below(customers));
            s.BindInt(8, quantity);
            sqlite3_bind_double(s.get(), 9, cents / 100.0);
            if (channel == 0) {
                sqlite3_bind_null(s.get(), 10);  // some sales were never classified
            } else {
                s.BindText(10, kChannels[channel % 3]);
            }
            s.Step();
            sqlite3_reset(s.get());
        }
    }
    {
        Statement s(db, "INSERT INTO employee (employee_id, name, salary) VALUES (?, ?, ?)");
        for (int id = 1; id <= 20; ++id) {
            s.BindInt(1, id);
            s.BindText(2, std::string("Employee ") + std::to_string(id));
            sqlite3_bind_double(s.get(), 3, 30000 + 1000 * rnd.Below(40));
            s.Step();
            sqlite3_reset(s.get());
        }
    }
    {
        // A fixed salt keeps the file identical between runs; the demo password is public anyway.
        const char seed[] = "zevdtapi sample salt";
        Sha256Digest d = Sha256Of(seed, sizeof(seed) - 1);
        std::vector<uint8_t> salt(d.begin(), d.begin() + 16);
        Statement s(db, "INSERT INTO dt_user (name, password_hash) VALUES (?, ?)");
        s.BindText(1, kSampleUser);
        s.BindText(2, HashPassword(kSamplePassword, salt));
        s.Step();
        sqlite3_reset(s.get());
        s.BindText(1, kSampleUser2);
        s.BindText(2, HashPassword(kSamplePassword2, salt));
        s.Step();
    }
    exec("CREATE INDEX sales_year ON sales(year); COMMIT");
}

bool FileExists(const std::string& path) {
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

// Into PostgreSQL: built as a SQLite file in the temp folder first, then
// copied with its catalog in one transaction and the reader roles granted.
bool CreateSampleInPostgres(const std::string& uri, bool replace, std::string* error) {
#ifdef ZEVDTAPI_WITH_POSTGRES
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/zevdtapi-sample-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        *error = "The sample warehouse cannot be loaded into PostgreSQL: no temporary file can be made.";
        return false;
    }
    close(fd);
    const std::string temp = pattern;
    try {
        {
            Connection db;
            db.Open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            Build(db.get());
        }
        CopyIntoPostgres(temp, uri, replace);
        std::remove(temp.c_str());
        return true;
    } catch (const std::exception& e) {
        std::remove(temp.c_str());
        *error = std::string("The sample warehouse cannot be loaded into PostgreSQL: ") + e.what();
        return false;
    }
#else
    (void)uri;
    (void)replace;
    *error = "This build serves SQLite databases only; it cannot load a PostgreSQL database.";
    return false;
#endif
}

}  // namespace

bool CreateSampleWarehouse(const std::string& path, std::string* error) {
    return CreateSampleWarehouse(path, false, error);
}

bool CreateSampleWarehouse(const std::string& path, bool replace, std::string* error) {
    std::string ignored;
    if (!error)
        error = &ignored;
    if (path.empty()) {
        *error = "No file name was given for the sample warehouse.";
        return false;
    }
    if (IsPostgresUri(path))
        return CreateSampleInPostgres(path, replace, error);
    if (FileExists(path) && !replace) {
        *error = "The file \"" + path + "\" exists already; it was left unchanged.";
        return false;
    }
    // Built beside the target and renamed at the end, so that a failure never
    // leaves half a warehouse under the real name.
    std::string temp = path + ".part";
    std::remove(temp.c_str());
    try {
        {
            Connection db;
            db.Open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            Build(db.get());
        }
        if (FileExists(path) && std::remove(path.c_str()) != 0) {
            Fail(kQuery, "the existing file cannot be replaced");
        }
        if (std::rename(temp.c_str(), path.c_str()) != 0)
            Fail(kQuery, "the new file cannot be renamed");
        return true;
    } catch (const std::exception& e) {
        std::remove(temp.c_str());
        *error = "The sample warehouse \"" + path + "\" cannot be created: " + e.what();
        return false;
    }
}

}  // namespace zevdtapi
