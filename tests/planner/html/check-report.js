// Opens the planner's HTML report in Debian's chromium (headless, through the
// DevTools protocol) and checks it against the planner's JSON report of the same
// run and against the plan:
//   node check-report.js PLAYWRIGHT_DIR PLAN REPORT.json REPORT.html SHOT_PREFIX
// Prints one line per check and "N passed, N failed"; exits 1 when a check failed.
"use strict";
const fs = require("fs");
const path = require("path");
const { chromium } = require(path.join(process.argv[2], "playwright-core"));

const [planFile, jsonFile, htmlFile, shotPrefix] = process.argv.slice(3);
const plan = JSON.parse(fs.readFileSync(planFile, "utf8"));
const report = JSON.parse(fs.readFileSync(jsonFile, "utf8"));

let passed = 0, failed = 0;
function check(ok, what, detail) {
  if (ok) ++passed; else ++failed;
  console.log((ok ? "ok   " : "FAIL ") + what + (ok || detail === undefined ? "" : "\n     " + detail));
}
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// What the JSON report says: objects per action over every lookup, and each
// object's first action (as the tree shows it).
const counts = {};
const firstAction = new Map();
for (const entry of report.actions) {
  if (entry.action !== null) counts[entry.action] = (counts[entry.action] || 0) + 1;
  if (!firstAction.has(entry.id)) firstAction.set(entry.id, entry.action);
}

// The object nested deepest, the last of those in plan order.
const depth = (o) => (o.folder ? o.folder.split("\\").length - 1 : 0);
let deepest = plan.objects[0];
for (const o of plan.objects) if (depth(o) >= depth(deepest)) deepest = o;

(async () => {
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
  try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
    const problems = [], requests = [];
    page.on("console", (message) => { if (message.type() === "error" || message.type() === "warning") problems.push(message.text()); });
    page.on("pageerror", (error) => problems.push(String(error)));
    page.on("request", (request) => { if (!request.url().startsWith("file:")) requests.push(request.url()); });

    const url = "file://" + path.resolve(htmlFile);
    const started = Date.now();
    await page.goto(url);
    await page.waitForSelector("body[data-ready=true]", { timeout: 60000 });
    console.log(`     loaded and rendered in ${Date.now() - started} ms`);

    // ---- The summary ----
    const bars = await page.$$eval("#action-chart g.bar", (gs) =>
      gs.map((g) => [Number(g.dataset.action), Number(g.dataset.count), g.querySelector("text.count").textContent]));
    const shown = Object.fromEntries(bars.map(([action, count]) => [action, count]));
    check(same(shown, counts), "the chart's counts equal the JSON report's", JSON.stringify({ shown, counts }));
    check(bars.every(([, count, text]) => String(count) === text), "each bar shows its count as text");
    const refused = await page.textContent("#refused");
    check(refused === `Refused entries: ${report.errors.length}`, "the refused entries' count equals the JSON's", refused);
    check(await page.$$eval("table.refusals tbody tr", (rows) => rows.length) === report.errors.length,
          "one row per refused entry");
    const processed = await page.$$eval("#processed li", (items) => items.map((li) => li.textContent));
    check(same(processed, report.folders.processed), "the folders processed, in the JSON's order", processed.join(", "));
    const sort = await page.textContent("#sort");
    check(sort.includes(`appended ${report.folders.sortLevels} level`), "the sort's outcome", sort);
    const totals = await page.textContent("#totals");
    check(totals.startsWith(`${plan.objects.length} object`), "the plan's object count", totals);
    const description = await page.$("#description");
    check(report.description ? (await description.textContent()) === report.description : description === null,
          "the plan's description");
    check((await page.$("#unsettled") !== null) === (report.folders.sortSettled === false),
          "the unsettled sort is named exactly when the JSON says so");

    // ---- The rules table: every rule once, those that decided nothing first ----
    const table = await page.$$eval("table.rules tbody tr", (rows) =>
      rows.map((tr) => [tr.dataset.kind, Number(tr.dataset.index), Number(tr.dataset.decided),
                        tr.cells[1].textContent]));
    const key = (kind, index) => kind + " " + index;
    const byJson = new Map(report.rules.map((r) => [key(r.kind, r.index), [r.decided, r.status]]));
    check(table.length === report.rules.length, `one row per rule (${report.rules.length})`, `${table.length} rows`);
    check(table.every(([kind, index, decided, status]) => same(byJson.get(key(kind, index)), [decided, status])),
          "each rule's count and status equal the JSON's");
    const firstDecided = table.findIndex(([, , , status]) => status === "decided");
    check(firstDecided < 0 || table.slice(firstDecided).every(([, , , status]) => status === "decided"),
          "the rules that decided nothing come first");
    await page.screenshot({ path: shotPrefix + "-summary.png" });

    // ---- A filter for one action shows exactly its objects ----
    const actions = Object.keys(counts).map(Number).sort((a, b) => counts[a] - counts[b] || a - b);
    const rarest = actions[0];
    const expected = [...firstAction].filter(([, action]) => action === rarest).map(([id]) => id).sort();
    await page.selectOption("#f-action", String(rarest));
    await page.click("#b-open");
    while (await page.$("button.more")) await page.click("button.more");
    const rows = await page.$$eval("#tree li.obj", (items) =>
      items.map((li) => [li.classList.contains("ctx"), li.querySelector(":scope > .row > .id").textContent.slice(1, -1),
                         li.querySelector(":scope > .row > .badge").dataset.action]));
    const matching = rows.filter(([context]) => !context);
    check(same(matching.map(([, id]) => id).sort(), expected),
          `the filter for action ${rarest} shows exactly its ${expected.length} objects`,
          `shown ${matching.length}: ${matching.slice(0, 5).map(([, id]) => id)}...`);
    check(matching.every(([, , action]) => action === String(rarest)), "each shown object has that action");
    check(rows.filter(([context, , action]) => context && action === String(rarest)).length === 0,
          "the folders shown only for what they hold do not have that action");
    const status = await page.textContent("#status");
    check(status.startsWith(`${expected.length} of ${plan.objects.length} objects match`), "the status counts them", status);
    await page.screenshot({ path: shotPrefix + "-filter.png" });
    await page.selectOption("#f-action", "");

    // ---- A search finds the deepest object and opens the folders that hold it ----
    await page.click("#b-close");
    await page.fill("#f-search", deepest.id);
    await page.press("#f-search", "Enter");
    const hit = page.locator(`#tree li.hit`).filter({ has: page.locator(`:scope > .row > .id`, { hasText: `[${deepest.id}]` }) });
    check(await hit.count() === 1, `the search for ${deepest.id} (${depth(deepest)} folders deep) finds it`);
    if (await hit.count() === 1) {
      check(await hit.isVisible(), "its row is visible");
      const box = await hit.boundingBox();
      check(box !== null && box.y >= 0 && box.y < 900, "its row is scrolled into view", JSON.stringify(box));
      const folders = await hit.evaluate((li) => {
        const names = [];
        for (let up = li.parentElement.closest("li"); up; up = up.parentElement.closest("li"))
          names.unshift(up.querySelector(":scope > .row > .name").textContent);
        return names;
      });
      const path = deepest.folder.split("\\").slice(1);
      check(same(folders, path), "the folders that hold it are open, outermost first", folders.join("\\"));
    }
    const hitIds = await page.$$eval("#tree li.hit > .row", (rows) =>
      rows.map((row) => [row.querySelector(".id").textContent, row.querySelector(".name").textContent]));
    const needle = deepest.id.toLowerCase();
    check(hitIds.every(([id, name]) => (id + name).toLowerCase().includes(needle)), "every marked row matches the search");
    await page.screenshot({ path: shotPrefix + "-search.png" });

    // ---- Print ----
    await page.emulateMedia({ media: "print" });
    const hidden = await page.$eval("#controls", (form) => getComputedStyle(form).display === "none");
    check(hidden, "printing hides the controls");
    await page.screenshot({ path: shotPrefix + "-print.png", fullPage: plan.objects.length < 1000 });
    await page.emulateMedia({ media: "screen" });

    check(requests.length === 0, "the page asks for nothing outside the file", requests.join(" "));
    check(problems.length === 0, "the console shows no error or warning", problems.join("\n     "));

    const size = fs.statSync(htmlFile).size;
    const perObject = size / plan.objects.length;
    console.log(`     ${size} bytes, ${perObject.toFixed(1)} bytes per object`);
    if (plan.objects.length >= 10000) check(perObject < 200, "under 200 bytes per object");
  } finally {
    await browser.close();
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
})().catch((error) => {
  console.log("FAIL " + (error && error.stack || error));
  console.log(`${passed} passed, ${failed + 1} failed`);
  process.exit(1);
});
