// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/sampledata.h"

#include <algorithm>
#include <cmath>
#include <random>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "database/itemeditor.h"
#include "database/textfile.h"
#include "nutrients/numberrules.h"
#include "tally/daylist.h"
#include "tally/itemvalues.h"

using namespace Qt::StringLiterals;

namespace {

enum class Kind { Fruit, Vegetable, Legume, Grain, Bread, Dairy, Cheese, Meat, Fish, Egg, Fat, Nut, Sweet, Drink, Dish };

struct Base
{
    Kind kind;
    const char16_t *name;
    double fat, carb, protein, cholesterol; // per 100 g
};

// Everyday foods with their values per 100 g, rounded.
constexpr Base Bases[] = {
    {Kind::Fruit, u"Apples", 0.2, 13.8, 0.3, 0}, {Kind::Fruit, u"Apricots", 0.4, 11.1, 1.4, 0},
    {Kind::Fruit, u"Bananas", 0.3, 22.8, 1.1, 0}, {Kind::Fruit, u"Blackberries", 0.5, 9.6, 1.4, 0},
    {Kind::Fruit, u"Blueberries", 0.3, 14.5, 0.7, 0}, {Kind::Fruit, u"Cherries, sweet", 0.2, 16, 1.1, 0},
    {Kind::Fruit, u"Cranberries", 0.1, 12.2, 0.4, 0}, {Kind::Fruit, u"Dates, medjool", 0.2, 75, 1.8, 0},
    {Kind::Fruit, u"Figs", 0.3, 19.2, 0.8, 0}, {Kind::Fruit, u"Grapefruit, pink", 0.1, 10.7, 0.8, 0},
    {Kind::Fruit, u"Grapes, red", 0.2, 18.1, 0.7, 0}, {Kind::Fruit, u"Kiwifruit", 0.5, 14.7, 1.1, 0},
    {Kind::Fruit, u"Lemons", 0.3, 9.3, 1.1, 0}, {Kind::Fruit, u"Mangos", 0.4, 15, 0.8, 0},
    {Kind::Fruit, u"Melons, cantaloupe", 0.2, 8.2, 0.8, 0}, {Kind::Fruit, u"Oranges, navel", 0.2, 11.8, 0.9, 0},
    {Kind::Fruit, u"Papayas", 0.3, 10.8, 0.5, 0}, {Kind::Fruit, u"Peaches, yellow", 0.3, 9.5, 0.9, 0},
    {Kind::Fruit, u"Pears", 0.1, 15.2, 0.4, 0}, {Kind::Fruit, u"Pineapple", 0.1, 13.1, 0.5, 0},
    {Kind::Fruit, u"Plums", 0.3, 11.4, 0.7, 0}, {Kind::Fruit, u"Raspberries", 0.7, 11.9, 1.2, 0},
    {Kind::Fruit, u"Strawberries", 0.3, 7.7, 0.7, 0}, {Kind::Fruit, u"Watermelon", 0.2, 7.6, 0.6, 0},
    {Kind::Vegetable, u"Asparagus", 0.1, 3.9, 2.2, 0}, {Kind::Vegetable, u"Beets", 0.2, 9.6, 1.6, 0},
    {Kind::Vegetable, u"Broccoli", 0.4, 6.6, 2.8, 0}, {Kind::Vegetable, u"Brussels sprouts", 0.3, 9, 3.4, 0},
    {Kind::Vegetable, u"Cabbage, green", 0.1, 5.8, 1.3, 0}, {Kind::Vegetable, u"Carrots", 0.2, 9.6, 0.9, 0},
    {Kind::Vegetable, u"Cauliflower", 0.3, 5, 1.9, 0}, {Kind::Vegetable, u"Celery", 0.2, 3, 0.7, 0},
    {Kind::Vegetable, u"Corn, sweet, yellow", 1.4, 19, 3.3, 0},
    {Kind::Vegetable, u"Cucumber, with peel", 0.1, 3.6, 0.7, 0}, {Kind::Vegetable, u"Eggplant", 0.2, 5.9, 1, 0},
    {Kind::Vegetable, u"Green beans", 0.2, 7, 1.8, 0}, {Kind::Vegetable, u"Kale", 0.9, 8.8, 4.3, 0},
    {Kind::Vegetable, u"Lettuce, romaine", 0.3, 3.3, 1.2, 0}, {Kind::Vegetable, u"Mushrooms, white", 0.3, 3.3, 3.1, 0},
    {Kind::Vegetable, u"Onions", 0.1, 9.3, 1.1, 0}, {Kind::Vegetable, u"Peas, green", 0.4, 14.5, 5.4, 0},
    {Kind::Vegetable, u"Peppers, sweet, red", 0.3, 6, 1, 0}, {Kind::Vegetable, u"Potatoes, russet", 0.1, 18.1, 2.1, 0},
    {Kind::Vegetable, u"Pumpkin", 0.1, 6.5, 1, 0}, {Kind::Vegetable, u"Spinach", 0.4, 3.6, 2.9, 0},
    {Kind::Vegetable, u"Squash, zucchini", 0.3, 3.1, 1.2, 0}, {Kind::Vegetable, u"Sweet potato", 0.1, 20.1, 1.6, 0},
    {Kind::Vegetable, u"Tomatoes, red", 0.2, 3.9, 0.9, 0}, {Kind::Legume, u"Beans, black", 0.9, 23.7, 8.9, 0},
    {Kind::Legume, u"Beans, kidney", 0.5, 22.8, 8.7, 0}, {Kind::Legume, u"Beans, navy", 0.6, 26.1, 8.2, 0},
    {Kind::Legume, u"Beans, pinto", 0.7, 26.2, 9, 0}, {Kind::Legume, u"Chickpeas", 2.6, 27.4, 8.9, 0},
    {Kind::Legume, u"Lentils", 0.4, 20.1, 9, 0}, {Kind::Legume, u"Soybeans", 9, 8.4, 16.6, 0},
    {Kind::Legume, u"Split peas", 0.4, 21.1, 8.3, 0}, {Kind::Legume, u"Tofu, firm", 8.7, 2.8, 15.8, 0},
    {Kind::Grain, u"Barley, pearled", 0.4, 28.2, 2.3, 0}, {Kind::Grain, u"Bulgur", 0.2, 18.6, 3.1, 0},
    {Kind::Grain, u"Couscous", 0.2, 23.2, 3.8, 0}, {Kind::Grain, u"Macaroni", 0.9, 30.9, 5.8, 0},
    {Kind::Grain, u"Noodles, egg", 2.1, 25, 4.5, 29}, {Kind::Grain, u"Oats", 1.5, 12, 2.5, 0},
    {Kind::Grain, u"Quinoa", 1.9, 21.3, 4.4, 0}, {Kind::Grain, u"Rice, brown, long-grain", 0.9, 23, 2.6, 0},
    {Kind::Grain, u"Rice, white, long-grain", 0.3, 28.2, 2.7, 0}, {Kind::Grain, u"Spaghetti", 0.9, 30.9, 5.8, 0},
    {Kind::Grain, u"Cereal, corn flakes", 0.4, 84, 7.5, 0}, {Kind::Grain, u"Cereal, granola", 20, 64, 10, 0},
    {Kind::Bread, u"Bagels, plain", 1.6, 53, 10, 0}, {Kind::Bread, u"Bread, rye", 3.3, 48.3, 8.5, 0},
    {Kind::Bread, u"Bread, white", 3.3, 49, 9, 0}, {Kind::Bread, u"Bread, whole-wheat", 3.4, 43, 13, 0},
    {Kind::Bread, u"Croissants, butter", 21, 45.8, 8.2, 67}, {Kind::Bread, u"English muffins", 1.8, 46, 8.9, 0},
    {Kind::Bread, u"Pita, white", 1.2, 55.7, 9.1, 0}, {Kind::Bread, u"Rolls, dinner", 6.5, 50.5, 8.9, 0},
    {Kind::Bread, u"Tortillas, corn", 2.9, 44.6, 5.7, 0}, {Kind::Bread, u"Tortillas, flour", 8, 50, 8.3, 0},
    {Kind::Bread, u"Pancakes", 9.5, 28.3, 6.4, 54}, {Kind::Dairy, u"Milk, whole", 3.3, 4.8, 3.2, 10},
    {Kind::Dairy, u"Milk, reduced fat, 2%", 2, 4.7, 3.3, 8}, {Kind::Dairy, u"Milk, nonfat", 0.1, 5, 3.4, 2},
    {Kind::Dairy, u"Buttermilk", 0.9, 4.8, 3.3, 5}, {Kind::Dairy, u"Cream, heavy whipping", 37, 2.8, 2.1, 137},
    {Kind::Dairy, u"Sour cream", 19.4, 4.6, 2.4, 59}, {Kind::Dairy, u"Yogurt, plain, whole milk", 3.3, 4.7, 3.5, 13},
    {Kind::Dairy, u"Yogurt, greek, plain", 0.4, 3.6, 10.2, 5}, {Kind::Dairy, u"Ice cream, vanilla", 11, 23.6, 3.5, 44},
    {Kind::Cheese, u"Cheese, cheddar", 33.1, 1.3, 24.9, 105}, {Kind::Cheese, u"Cheese, cottage", 4.3, 3.4, 11.1, 17},
    {Kind::Cheese, u"Cheese, cream", 34.2, 4.1, 5.9, 110}, {Kind::Cheese, u"Cheese, feta", 21.3, 4.1, 14.2, 89},
    {Kind::Cheese, u"Cheese, mozzarella", 22.4, 2.2, 22.2, 79},
    {Kind::Cheese, u"Cheese, parmesan", 25.8, 3.2, 35.8, 88}, {Kind::Cheese, u"Cheese, swiss", 27.8, 5.4, 27, 93},
    {Kind::Meat, u"Beef, ground, 85% lean", 15, 0, 18.6, 68}, {Kind::Meat, u"Beef, chuck roast", 18, 0, 18.4, 70},
    {Kind::Meat, u"Beef, sirloin steak", 7.5, 0, 21, 60}, {Kind::Meat, u"Beef, brisket", 21, 0, 17.4, 74},
    {Kind::Meat, u"Chicken, breast", 2.6, 0, 22.5, 73}, {Kind::Meat, u"Chicken, drumstick", 9.2, 0, 17.4, 88},
    {Kind::Meat, u"Chicken, thigh", 9.2, 0, 17.3, 94}, {Kind::Meat, u"Chicken, wing", 15, 0, 17.5, 77},
    {Kind::Meat, u"Ham, sliced", 5.5, 1.5, 16.6, 53}, {Kind::Meat, u"Lamb, leg", 13.5, 0, 18.5, 70},
    {Kind::Meat, u"Pork, loin chop", 9.4, 0, 20.5, 62}, {Kind::Meat, u"Pork, bacon", 42, 1.3, 12.6, 66},
    {Kind::Meat, u"Pork, sausage", 28, 1, 15, 74}, {Kind::Meat, u"Turkey, breast", 1.5, 0, 23.7, 61},
    {Kind::Meat, u"Turkey, ground", 8.3, 0, 19.7, 69}, {Kind::Meat, u"Veal, cutlet", 3.4, 0, 20.2, 80},
    {Kind::Fish, u"Cod, Atlantic", 0.7, 0, 17.8, 43}, {Kind::Fish, u"Haddock", 0.5, 0, 16.3, 52},
    {Kind::Fish, u"Halibut", 1.3, 0, 18.6, 49}, {Kind::Fish, u"Mackerel, Atlantic", 13.9, 0, 18.6, 70},
    {Kind::Fish, u"Salmon, Atlantic, farmed", 13.4, 0, 20.4, 55}, {Kind::Fish, u"Salmon, sockeye", 5.6, 0, 22.3, 51},
    {Kind::Fish, u"Sardines", 11.5, 0, 24.6, 142}, {Kind::Fish, u"Shrimp", 0.5, 0.9, 20.1, 161},
    {Kind::Fish, u"Trout, rainbow", 6.2, 0, 20.8, 59}, {Kind::Fish, u"Tuna, light", 1, 0, 19.4, 36},
    {Kind::Egg, u"Egg, whole", 9.5, 0.7, 12.6, 372}, {Kind::Egg, u"Egg, white", 0.2, 0.7, 10.9, 0},
    {Kind::Egg, u"Egg, yolk", 26.5, 3.6, 15.9, 1085}, {Kind::Fat, u"Butter", 81.1, 0.1, 0.9, 215},
    {Kind::Fat, u"Margarine", 80.7, 0.7, 0.2, 0}, {Kind::Fat, u"Mayonnaise", 75, 0.6, 1, 42},
    {Kind::Fat, u"Oil, canola", 100, 0, 0, 0}, {Kind::Fat, u"Oil, olive", 100, 0, 0, 0},
    {Kind::Fat, u"Oil, sunflower", 100, 0, 0, 0}, {Kind::Fat, u"Salad dressing, ranch", 44.5, 5.9, 1.3, 26},
    {Kind::Fat, u"Salad dressing, vinaigrette", 25, 12, 0.2, 0}, {Kind::Nut, u"Almonds", 49.9, 21.6, 21.2, 0},
    {Kind::Nut, u"Cashews", 43.9, 30.2, 18.2, 0}, {Kind::Nut, u"Hazelnuts", 60.8, 16.7, 15, 0},
    {Kind::Nut, u"Peanut butter, smooth", 50.4, 19.6, 22.5, 0}, {Kind::Nut, u"Peanuts", 49.2, 16.1, 25.8, 0},
    {Kind::Nut, u"Pecans", 72, 13.9, 9.2, 0}, {Kind::Nut, u"Pistachios", 45.3, 27.2, 20.2, 0},
    {Kind::Nut, u"Sunflower seeds", 51.5, 20, 20.8, 0}, {Kind::Nut, u"Walnuts", 65.2, 13.7, 15.2, 0},
    {Kind::Sweet, u"Brownies", 16.3, 63.9, 4.8, 17}, {Kind::Sweet, u"Cake, chocolate", 14.3, 54.6, 4.1, 41},
    {Kind::Sweet, u"Candies, milk chocolate", 29.7, 59.4, 7.7, 23},
    {Kind::Sweet, u"Cookies, oatmeal", 18.1, 68.7, 6.2, 0}, {Kind::Sweet, u"Crackers, saltines", 8.6, 71.3, 9.5, 0},
    {Kind::Sweet, u"Doughnuts, glazed", 22.9, 51, 5.3, 7}, {Kind::Sweet, u"Honey", 0, 82.4, 0.3, 0},
    {Kind::Sweet, u"Jams and preserves", 0.1, 68.9, 0.4, 0}, {Kind::Sweet, u"Pie, apple", 12.5, 34, 1.9, 0},
    {Kind::Sweet, u"Popcorn, air-popped", 4.5, 77.8, 12.9, 0}, {Kind::Sweet, u"Potato chips", 34.6, 53, 6.6, 0},
    {Kind::Sweet, u"Pretzels", 2.9, 80.4, 10.3, 0}, {Kind::Drink, u"Apple juice", 0.1, 11.3, 0.1, 0},
    {Kind::Drink, u"Beer, regular", 0, 3.6, 0.5, 0}, {Kind::Drink, u"Coffee, brewed", 0, 0, 0.1, 0},
    {Kind::Drink, u"Cola", 0, 10.6, 0, 0}, {Kind::Drink, u"Hot chocolate", 2.3, 10.7, 3.5, 8},
    {Kind::Drink, u"Orange juice", 0.2, 10.4, 0.7, 0}, {Kind::Drink, u"Tea, brewed", 0, 0.3, 0, 0},
    {Kind::Drink, u"Wine, red", 0, 2.6, 0.1, 0}, {Kind::Dish, u"Burrito, bean and cheese", 6.9, 27.5, 8.4, 14},
    {Kind::Dish, u"Chili con carne", 6.2, 9.7, 9.5, 27}, {Kind::Dish, u"Hamburger, single patty", 11.7, 24, 13.4, 36},
    {Kind::Dish, u"Lasagna, meat", 6.8, 16.5, 9.3, 28}, {Kind::Dish, u"Macaroni and cheese", 10.7, 20.9, 7.6, 21},
    {Kind::Dish, u"Pizza, cheese", 10.4, 33.3, 11.4, 19}, {Kind::Dish, u"Pizza, pepperoni", 12.1, 30.2, 12, 22},
    {Kind::Dish, u"Soup, chicken noodle", 1.2, 3.7, 2.4, 5}, {Kind::Dish, u"Soup, tomato", 0.7, 7.6, 0.9, 0},
    {Kind::Dish, u"Soup, vegetable beef", 0.8, 4.7, 2.4, 5},
    {Kind::Dish, u"Spaghetti with meat sauce", 4.8, 18.7, 7.6, 17}, {Kind::Dish, u"Stew, beef", 4.6, 6.4, 7.8, 20},
    {Kind::Dish, u"Sushi, with vegetables", 0.2, 27, 2.9, 0}, {Kind::Dish, u"Taco, beef", 12.7, 19.9, 9.3, 28},
};

// How a preparation changes the values per 100 g.
struct Preparation
{
    const char16_t *text;
    double scale;    // water lost (above 1) or taken up (below 1)
    double addedFat; // grams per 100 g from frying or dressing
    double addedCarb;
};

struct Measure
{
    const char16_t *text;
    double grams;
};

struct KindTraits
{
    std::vector<Preparation> preparations;
    std::vector<Measure> measures;
    double saturatedShare; // of the fat
};

// Preparations, measures and the saturated share of the fat of each kind, in Kind order.
const KindTraits Traits[] = {
    {{{u"raw", 1, 0, 0}, {u"frozen, unsweetened", 1, 0, 0}, {u"canned, juice pack", 0.95, 0, 3},
      {u"canned, heavy syrup pack", 0.9, 0, 12}, {u"dried", 3.2, 0, 0}, {u"stewed", 0.85, 0, 4}},
     {{u"1 cup, sliced", 165}, {u"1 medium", 150}, {u"1 small", 110}, {u"0.5 cup", 80}, {u"100 g", 100}},
     0.1}, // fruit
    {{{u"raw", 1, 0, 0}, {u"boiled, drained, without salt", 0.95, 0, 0},
      {u"boiled, drained, with salt", 0.95, 0, 0}, {u"steamed", 1, 0, 0},
      {u"frozen, cooked", 0.95, 0, 0}, {u"canned, drained solids", 0.9, 0, 0},
      {u"stir-fried", 1.1, 5, 0}, {u"roasted", 1.25, 3, 0}},
     {{u"1 cup, chopped", 90}, {u"0.5 cup", 78}, {u"1 cup", 156}, {u"1 medium", 120}, {u"100 g", 100}},
     0.15}, // vegetable
    {{{u"mature seeds, boiled, without salt", 1, 0, 0}, {u"mature seeds, boiled, with salt", 1, 0, 0},
      {u"canned, drained", 0.95, 0, 0}, {u"canned, with sauce", 0.9, 1.5, 6}, {u"sprouted, raw", 0.6, 0, 0}},
     {{u"1 cup", 177}, {u"0.5 cup", 88}, {u"1 tbsp", 11}, {u"100 g", 100}},
     0.15}, // legume
    {{{u"cooked, without salt", 1, 0, 0}, {u"cooked, with salt", 1, 0, 0}, {u"dry", 2.6, 0, 0},
      {u"enriched, cooked", 1, 0, 0}, {u"whole-grain, cooked", 1, 0, 1}},
     {{u"1 cup, cooked", 185}, {u"1 cup", 160}, {u"0.5 cup", 80}, {u"1 oz", 28.35}, {u"100 g", 100}},
     0.2}, // grain
    {{{u"commercially prepared", 1, 0, 0}, {u"toasted", 1.1, 0, 0}, {u"home-made", 1, 2, 0},
      {u"reduced calorie", 0.8, -1, 0}},
     {{u"1 slice", 28}, {u"1 piece", 45}, {u"1 oz", 28.35}, {u"100 g", 100}},
     0.25}, // bread
    {{{u"", 1, 0, 0}, {u"with added vitamin A and vitamin D", 1, 0, 0}, {u"lactose reduced", 1, 0, 0},
      {u"chocolate", 1, 0.5, 6}, {u"strawberry", 1, 0, 5}},
     {{u"1 cup", 244}, {u"1 fl oz", 30.5}, {u"1 tbsp", 15}, {u"100 g", 100}},
     0.62}, // dairy
    {{{u"", 1, 0, 0}, {u"low fat", 1, -8, 1}, {u"low sodium", 1, 0, 0}, {u"shredded", 1, 0, 0},
      {u"grated", 1, 0, 0}},
     {{u"1 oz", 28.35}, {u"1 slice", 21}, {u"1 cup, shredded", 113}, {u"1 tbsp", 5}, {u"100 g", 100}},
     0.6}, // cheese
    {{{u"raw", 1, 0, 0}, {u"roasted", 1.35, 0, 0}, {u"broiled", 1.3, 0, 0}, {u"braised", 1.4, 0, 0},
      {u"pan-fried", 1.3, 4, 0}, {u"grilled", 1.3, 0, 0}, {u"lean only, roasted", 1.35, -4, 0},
      {u"breaded, fried", 1.25, 8, 9}},
     {{u"3 oz", 85}, {u"1 lb", 453.6}, {u"1 serving", 113}, {u"1 piece", 95}, {u"100 g", 100}},
     0.38}, // meat
    {{{u"raw", 1, 0, 0}, {u"baked", 1.25, 0, 0}, {u"broiled", 1.25, 0, 0}, {u"smoked", 1.3, 0, 0},
      {u"canned in water, drained", 1.15, 0, 0}, {u"canned in oil, drained", 1.15, 6, 0},
      {u"breaded, fried", 1.2, 9, 10}},
     {{u"3 oz", 85}, {u"1 fillet", 150}, {u"1 cup, flaked", 136}, {u"100 g", 100}},
     0.22}, // fish
    {{{u"raw, fresh", 1, 0, 0}, {u"hard-boiled", 1, 0, 0}, {u"poached", 1, 0, 0}, {u"fried", 1.05, 5, 0},
      {u"scrambled", 1, 2, 1}, {u"dried", 4, 0, 0}},
     {{u"1 large", 50}, {u"1 medium", 44}, {u"1 extra large", 56}, {u"1 cup", 243}, {u"100 g", 100}},
     0.31}, // egg
    {{{u"", 1, 0, 0}, {u"salted", 1, 0, 0}, {u"unsalted", 1, 0, 0}, {u"light", 0.6, 0, 2},
      {u"reduced fat", 0.7, 0, 3}},
     {{u"1 tbsp", 14}, {u"1 tsp", 4.7}, {u"1 cup", 218}, {u"1 pat", 5}, {u"100 g", 100}},
     0.3}, // fat
    {{{u"raw", 1, 0, 0}, {u"dry roasted, without salt", 1.02, 0, 0}, {u"dry roasted, with salt", 1.02, 0, 0},
      {u"oil roasted, with salt", 1.02, 3, 0}, {u"honey roasted", 1, 1, 8}},
     {{u"1 oz", 28.35}, {u"1 cup", 143}, {u"1 tbsp", 9}, {u"100 g", 100}},
     0.12}, // nut
    {{{u"", 1, 0, 0}, {u"commercially prepared", 1, 0, 0}, {u"prepared from recipe", 1, 1, 0},
      {u"reduced fat", 0.9, -4, 4}, {u"sugar free", 0.9, 0, -10}},
     {{u"1 oz", 28.35}, {u"1 piece", 40}, {u"1 serving", 55}, {u"1 package", 50}, {u"100 g", 100}},
     0.45}, // sweet
    {{{u"", 1, 0, 0}, {u"canned", 1, 0, 0}, {u"bottled", 1, 0, 0}, {u"unsweetened", 1, 0, -5},
      {u"with added calcium", 1, 0, 0}},
     {{u"1 cup", 240}, {u"1 fl oz", 29.6}, {u"12 fl oz", 355}, {u"1 glass", 200}, {u"100 g", 100}},
     0.5}, // drink
    {{{u"", 1, 0, 0}, {u"frozen, heated", 1, 0, 0}, {u"home-made", 1, 1, 0}, {u"fast food", 1, 3, 2},
      {u"canned, ready-to-serve", 0.9, 0, 0}, {u"reduced fat", 1, -3, 0}},
     {{u"1 serving", 250}, {u"1 cup", 240}, {u"1 piece", 150}, {u"1 item", 200}, {u"100 g", 100}},
     0.4}, // dish
};

const KindTraits &traits(Kind kind)
{
    return Traits[static_cast<int>(kind)];
}

// Qualifiers that make more food names out of the same food.
constexpr const char16_t *Qualifiers[] = {u"", u"organic", u"store brand", u"imported"};

QString tenths(double value)
{
    return NumberRules::numberText(std::round(std::max(0.0, value) * 10) / 10);
}

QString whole(double value)
{
    return NumberRules::numberText(std::round(std::max(0.0, value)));
}

struct Candidate
{
    const Base *base;
    const Preparation *preparation;
    const char16_t *qualifier;
    const Measure *measure;
};

FoodRecord makeRecord(const Candidate &c, std::mt19937 &random)
{
    std::uniform_real_distribution<double> noise(0.9, 1.1);
    const Preparation &p = *c.preparation;
    double fat = std::max(0.0, c.base->fat * p.scale + p.addedFat) * noise(random);
    double carb = std::max(0.0, c.base->carb * p.scale + p.addedCarb) * noise(random);
    double protein = c.base->protein * p.scale * noise(random);
    // Nothing holds more than its own weight of nutrients.
    const double solids = fat + carb + protein;
    if (solids > 98) {
        fat *= 98 / solids;
        carb *= 98 / solids;
        protein *= 98 / solids;
    }
    const double portion = c.measure->grams / 100;
    const double satFat = fat * traits(c.base->kind).saturatedShare * noise(random);

    QString name = QString::fromUtf16(c.base->name);
    for (const char16_t *part : {p.text, c.qualifier}) {
        if (*part)
            name += u", "_s + QString::fromUtf16(part);
    }

    FoodRecord record;
    record[Food::Name] = name;
    record[Food::Measure] = QString::fromUtf16(c.measure->text);
    record[Food::FatGrams] = tenths(fat * portion);
    record[Food::Calories] = whole((9 * fat + 4 * carb + 4 * protein) * portion);
    record[Food::CarbGrams] = tenths(carb * portion);
    record[Food::ProteinGrams] = tenths(protein * portion);
    record[Food::CholesterolMg] = whole(c.base->cholesterol * p.scale * portion * noise(random));
    record[Food::WeightGrams] = NumberRules::numberText(c.measure->grams);
    record[Food::SatFatGrams] = tenths(satFat * portion);
    return record;
}

} // namespace

namespace SampleData {

std::vector<FoodRecord> foods(int count)
{
    // Every food in every preparation, qualifier and measure, then a fixed
    // draw of as many as asked for.
    std::vector<Candidate> candidates;
    for (const Base &base : Bases) {
        const KindTraits &t = traits(base.kind);
        for (const Preparation &preparation : t.preparations) {
            for (const char16_t *qualifier : Qualifiers) {
                for (const Measure &measure : t.measures)
                    candidates.push_back({&base, &preparation, qualifier, &measure});
            }
        }
    }
    std::mt19937 random(20240611);
    std::shuffle(candidates.begin(), candidates.end(), random);
    candidates.resize(std::min(candidates.size(), static_cast<std::size_t>(std::max(0, count))));

    std::vector<FoodRecord> records;
    records.reserve(candidates.size());
    for (const Candidate &candidate : candidates)
        records.push_back(makeRecord(candidate, random));
    std::stable_sort(records.begin(), records.end(), [](const FoodRecord &a, const FoodRecord &b) {
        return ItemEditor::sortsBefore(a[Food::Name], b[Food::Name]);
    });
    return records;
}

QString databaseText(const std::vector<FoodRecord> &records)
{
    QString text;
    for (const FoodRecord &record : records)
        text += recordText(record).value_or(QString());
    return text;
}

qint64 writeDatabase(const QString &folder, int count)
{
    const QDir dir(folder);
    TextFile::writeAtomically(dir.filePath(u"diet"_s), databaseText(foods(count)));
    TextFile::writeAtomically(dir.filePath(u"dblog"_s), u"0\r\n");
    return QFileInfo(dir.filePath(u"diet"_s)).size();
}

std::vector<qint64> writeLogs(const std::vector<FoodRecord> &foods, const std::vector<QString> &logs,
                              const std::vector<int> &megabytes)
{
    std::vector<qint64> sizes;
    if (foods.empty() || logs.empty())
        return sizes;
    for (const QString &folder : logs)
        QFile::remove(QDir(folder).filePath(u"mylist"_s));

    // The largest log is written entry by entry; the smaller ones are its
    // beginnings, copied as it passes their sizes.
    const QString log = QDir(logs.back()).filePath(u"mylist"_s);
    std::mt19937 random(19991231);
    std::uniform_int_distribution<std::size_t> pick(0, foods.size() - 1);
    std::uniform_int_distribution<int> itemsPerDay(10, 30);
    std::uniform_int_distribution<int> minutes(15, 30); // thirty items still end the day by ten
    std::uniform_int_distribution<int> percent(0, 99);
    const QString portions[] = {u"1"_s, u"1"_s, u"1"_s, u"2"_s, u"0.5"_s, u"1.5"_s, u"3"_s};
    std::uniform_int_distribution<std::size_t> pickPortion(0, std::size(portions) - 1);

    QDate day(2014, 1, 1);
    QTime time;
    Clock clock;
    clock.date = [&day] { return day; };
    clock.time = [&time] { return time; };

    qint64 size = 0;
    std::size_t next = 0;
    while (next < logs.size()) {
        DayTally tally;
        time = QTime(7, 0);
        const int items = itemsPerDay(random);
        for (int i = 0; i < items && next < logs.size(); ++i) {
            const FoodRecord &food = foods[pick(random)];
            ItemEntry item;
            item.portion = portions[pickPortion(random)];
            item.itemBox = food[Food::Name];
            item.fields = ItemValues::portionChange(food, item.portion, ItemValues::select(food, {}));
            addToList(tally, item, clock, log);
            time = time.addSecs(60 * minutes(random));
            if (percent(random) < 5) // taken off again, as a mistake
                deleteFromList(tally, item, clock, log);

            size = QFileInfo(log).size();
            while (next < logs.size() && size >= qint64(megabytes[next]) * 1000 * 1000) {
                if (next + 1 < logs.size())
                    QFile::copy(log, QDir(logs[next]).filePath(u"mylist"_s));
                sizes.push_back(size);
                ++next;
            }
        }
        day = day.addDays(1);
    }
    return sizes;
}

} // namespace SampleData
