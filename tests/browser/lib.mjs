// What the browser scripts share: the browser, the server's control path,
// waiting for a condition and reporting what failed.
//   node SCRIPT URL PICTURES BROWSER
// BROWSER is "chromium" (Debian's, over the DevTools protocol) or "firefox"
// (Debian's Firefox ESR, over WebDriver BiDi); puppeteer-core drives both.
import { existsSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
let puppeteer;
try {
  puppeteer = require('puppeteer-core');
} catch (e) {
  console.error('puppeteer-core is not installed: run scripts/setup.sh (npm ci in tests/browser)');
  process.exit(2);
}

export const base = process.argv[2];
export const pictures = process.argv[3];
export const browserName = process.argv[4] || 'chromium';
const failures = [];
// The requests of the script's pages the browser has sent and not yet seen
// answered, with when they were sent: named when the script fails.
const pending = new Map();
const started = Date.now();
// The pages' requests and navigation events (and Firefox's own, over
// WebDriver BiDi) with when they came: the last of them are named when the
// script fails, with the state of each page's document.
const events = [];
const note = text => events.push(`${(Date.now() - started) / 1000} s ${text}`);
const pages = [];

// Requests to anything but loopback (a page's camera or frame address, the
// browser's own services) go to a proxy of this script that answers each with
// 404 (and refuses tunnels), so they end at once and never leave the machine.
async function startNowhereProxy() {
  const proxy = createServer((request, response) => {
    response.writeHead(404, { 'Content-Type': 'text/plain' });
    response.end('not served in the browser tests');
  });
  proxy.on('connect', (request, socket) => {
    // A browser may reset the refused tunnel before it reads the answer: that
    // is no error of the test (unhandled, it would end the script).
    socket.on('error', () => {});
    socket.end('HTTP/1.1 403 Forbidden\r\n\r\n');
  });
  await new Promise(resolve => proxy.listen(0, '127.0.0.1', resolve));
  proxy.unref();
  return proxy.address().port;
}

// The browsers, each with the executable Debian installs and what it needs:
// chromium without its sandbox (root in CI) and without the banner it puts
// over XSLT pages; both send what is not for loopback to the proxy.
const kBrowsers = {
  chromium: {
    browser: 'chrome',
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: proxy => ['--no-sandbox', '--disable-gpu', '--disable-features=GenerateXSLTWarningBanner',
      `--proxy-server=http://127.0.0.1:${proxy}`],
    prefs: () => undefined,
    package: 'chromium',
  },
  firefox: {
    browser: 'firefox',
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
    args: () => [],
    prefs: proxy => ({
      'network.proxy.type': 1,
      'network.proxy.http': '127.0.0.1',
      'network.proxy.http_port': proxy,
      'network.proxy.ssl': '127.0.0.1',
      'network.proxy.ssl_port': proxy,
      'network.proxy.allow_hijacking_localhost': false,
    }),
    package: 'firefox-esr',
  },
};

export async function launch() {
  const kind = kBrowsers[browserName];
  if (!kind) {
    console.error(`unknown browser ${browserName} (chromium or firefox)`);
    process.exit(2);
  }
  if (!existsSync(kind.executablePath)) {
    console.error(`no browser at ${kind.executablePath} (Debian's ${kind.package} package)`);
    process.exit(2);
  }
  const proxy = await startNowhereProxy();
  const browser = await puppeteer.launch({
    browser: kind.browser, executablePath: kind.executablePath, args: kind.args(proxy),
    extraPrefsFirefox: kind.prefs(proxy), headless: true, timeout: 60000,
  });
  if (browserName === 'firefox') {
    for (const event of ['navigationStarted', 'navigationCommitted', 'navigationAborted', 'navigationFailed',
      'fragmentNavigated', 'historyUpdated', 'domContentLoaded', 'load'])
      browser.connection.on('browsingContext.' + event, e => note(`firefox ${event} ${e.navigation} ${e.url}`));
    browser.connection.on('browsingContext.navigationStarted', e => {
      for (const state of stalls.values())
        if (state.context === e.context) Object.assign(state, { navigation: e.navigation, stylesheet: false, stalled: false });
    });
    browser.connection.on('browsingContext.domContentLoaded', e => {
      for (const state of stalls.values()) {
        if (state.context !== e.context || state.navigation !== e.navigation || state.stylesheet) continue;
        if (!new URL(e.url).pathname.toUpperCase().endsWith('.XML')) continue;
        state.stalled = true;
        state.waiting.splice(0).forEach(resolve => resolve());
      }
    });
  }
  return { browser, context: browser.defaultBrowserContext() };
}

// Firefox's stalled page. Firefox (153 ESR), driven over WebDriver BiDi on a
// loaded machine, now and then fires DOMContentLoaded of a new page's XML
// before it has asked for the page's XSL stylesheet; it then transforms the
// page and loads all that the page names, but never fires the transformed
// page's load event: the page's onload, which starts its data requests, never
// runs and the navigation never ends. The same pages navigated by their own
// script in a Firefox without the remote agent never stopped so. A
// navigation whose events come in that order is made again by reloading the
// page, at most twice, and each time is printed.
const stalls = new Map();
function watchStalls(page) {
  const state = { context: page.mainFrame()._id, navigation: null, stylesheet: false, stalled: false, waiting: [] };
  stalls.set(page, state);
  page.on('request', r => {
    if (new URL(r.url()).pathname.toUpperCase().endsWith('.XSL')) state.stylesheet = true;
  });
}

// Resolves when the page's current navigation is recognised as stalled.
function stalled(page) {
  const state = stalls.get(page);
  if (!state) return new Promise(() => {});
  return state.stalled ? Promise.resolve() : new Promise(resolve => state.waiting.push(resolve));
}

// Makes a stalled navigation again: reloads the page until it loads.
async function reloadStalled(page) {
  for (let attempt = 1; ; ++attempt) {
    console.log(`Firefox stalled ${page.url()} (its DOMContentLoaded came before its stylesheet): reloaded`);
    note(`stalled ${page.url()}: reloaded`);
    if (attempt > 2) throw new Error(`Firefox stalled ${page.url()} three times`);
    stalls.get(page).stalled = false;  // the reload is a navigation of its own
    if (!(await stallsFirst(page, () => page.reload()))) return;
  }
}

// Runs `wait` (a wait for the page's load) and answers whether the page's
// navigation stalled before it ended.
function stallsFirst(page, wait) {
  const stall = stalled(page).then(() => true);
  const done = wait();
  done.catch(() => {});  // a stalled navigation's wait ends in its timeout
  return Promise.race([done.then(() => false), stall]);
}

// Starts a navigation with `start` and waits until the new page has loaded.
export async function landed(page, start) {
  if (await stallsFirst(page, () => Promise.all([page.waitForNavigation(), start()]))) await reloadStalled(page);
}

// A new page of the size the pictures have, its requests tracked.
export async function newPage(context) {
  const page = await context.newPage();
  pages.push(page);
  await page.setViewport({ width: 960, height: 720 });
  // A cap on each wait for a condition, not a wait: a loaded two-core machine running the
  // sanitizer build has taken more than 15 s for one navigation in Firefox.
  page.setDefaultTimeout(60000);
  page.on('request', r => pending.set(r, Date.now()));
  page.on('requestfinished', r => pending.delete(r));
  page.on('requestfailed', r => pending.delete(r));
  for (const event of ['load', 'domcontentloaded']) page.on(event, () => note(`page ${event}`));
  page.on('framenavigated', f => note(`page framenavigated ${f.url()}`));
  if (browserName === 'firefox') watchStalls(page);
  for (const event of ['request', 'requestfinished', 'requestfailed'])
    page.on(event, r => note(`${event} ${r.method()} ${r.url()}`));
  return page;
}

// Goes to a page of the server.
export const go = (page, name) => landed(page, () => page.goto(base + name));

// Opens a page; exits with 77 when the browser does not transform it through
// its stylesheet (a browser without XSLT).
export async function open(page, name) {
  await go(page, name);
  const root = await page.evaluate(() => document.documentElement.nodeName.toUpperCase());
  if (root !== 'HTML') {
    console.log(`SKIP: ${browserName} shows ${name} as XML (root ${root}): it has no XSLT`);
    process.exit(77);
  }
}

// A new page whose script errors and unexpected alerts are collected in `errors`.
export async function watchedPage(context) {
  const page = await newPage(context);
  const errors = [];
  page.on('pageerror', e => errors.push(e.message));
  page.on('dialog', d => {
    if (page.listenerCount('dialog') > 1) return;  // a script's own handler answers it
    errors.push('dialog: ' + d.message());
    d.dismiss();
  });
  return { page, errors };
}

// What a user sees in a field, and typing into it anew.
export const inputValue = (page, selector) => page.$eval(selector, e => e.value);
export const fill = (page, selector, text) => page.locator(selector).fill(text);

// A page that its own script moved on to has loaded.
export async function loaded(page) {
  if (await stallsFirst(page, () => page.waitForFunction(() => document.readyState === 'complete')))
    await reloadStalled(page);
}

// Lets the page's script run for a while: for what must not happen in that time.
export const pause = ms => new Promise(r => setTimeout(r, ms));

export async function control(path, body) {
  const answer = await fetch(base + '~control/' + path, body === undefined ? {} : {
    method: 'POST', headers: { 'Content-Type': 'application/x-www-form-urlencoded' }, body,
  });
  const text = await answer.text();
  if (!answer.ok) throw new Error(`control ${path}: ${answer.status} ${text}`);
  return text;
}

// Logs in through the login page as a user types; the browser then goes on
// to the page the server names.
export async function login(page, user, password) {
  await open(page, 'LOGIN.XML');
  await fill(page, '#user', user);
  await fill(page, '#pass', password);
  await landed(page, () => page.click('button[type=submit]'));
}

// How many times the server answered a page with 200 so far (its request log).
export const answers = async name =>
  (await control('log')).split('\n').filter(line => line.endsWith(` /${name} 200`)).length;

export const valueOf = name => control('value?name=' + encodeURIComponent(name));
export const setValue = (name, value) =>
  control('value', 'name=' + encodeURIComponent(name) + '&value=' + encodeURIComponent(value));

// Polls until check() answers true. `ms` is what the page needs on an idle
// machine; the wait gives up only after at least 20 s, since a loaded machine
// (CI on two cores, suites in parallel) answers far later and only a failure
// waits that long.
export async function waitUntil(what, check, ms = 5000) {
  const end = Date.now() + Math.max(ms, 20000);
  let last;
  while (Date.now() < end) {
    last = await check();
    if (last === true) return true;
    await pause(100);
  }
  failures.push(`${what} (last seen: ${JSON.stringify(last)})`);
  return false;
}

export function expect(what, actual, expected) {
  if (actual !== expected) failures.push(`${what}: expected ${JSON.stringify(expected)}, got ${JSON.stringify(actual)}`);
}

export async function finish(browser) {
  await browser.close();
  if (failures.length) {
    console.log(failures.map(f => `FAILED (${browserName}): ` + f).join('\n'));
    for (const [request, sent] of pending)
      console.log(`unanswered (${browserName}): ${request.method()} ${request.url()}, sent at ${(sent - started) / 1000} s`);
    console.log(events.slice(-400).map(e => `event (${browserName}): ${e}`).join('\n'));
    process.exit(1);
  }
  console.log(`all checks held in ${browserName}`);
  process.exit(0);
}

// Runs the script's body, reporting an exception as a failure.
export async function run(body) {
  const { browser, context } = await launch();
  try {
    await body(context);
  } catch (e) {
    failures.push('exception: ' + (e && e.stack ? e.stack : e));
    for (const page of pages) {
      const state = await Promise.race([
        page.evaluate(() => `${document.readyState} ${location.href}`).catch(x => 'not read: ' + x.message),
        pause(5000).then(() => 'no answer in 5 s')]);
      note(`the page's document: ${state}`);
    }
  }
  await finish(browser);
}
