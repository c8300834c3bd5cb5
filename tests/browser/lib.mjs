// What the browser scripts share: the browser, the server's control path,
// waiting for a condition and reporting what failed.
import { existsSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
let playwright;
try {
  playwright = require('playwright-core');
} catch (e) {
  console.error('playwright-core is not installed: run scripts/setup.sh (npm ci in tests/browser)');
  process.exit(2);
}

export const base = process.argv[2];
export const pictures = process.argv[3];
const failures = [];

// Headless chromium from Debian, without the banner it puts over XSLT pages.
export async function launch() {
  const executablePath = process.env.CHROMIUM || '/usr/bin/chromium';
  if (!existsSync(executablePath)) {
    console.error(`no browser at ${executablePath} (Debian's chromium package)`);
    process.exit(2);
  }
  const browser = await playwright.chromium.launch({
    executablePath,
    args: ['--no-sandbox', '--disable-gpu', '--disable-features=GenerateXSLTWarningBanner'],
    timeout: 60000,
  });
  const context = await browser.newContext({ viewport: { width: 960, height: 720 } });
  context.setDefaultTimeout(15000);
  return { browser, context };
}

// Opens a page; exits with 77 when the browser does not transform it through
// its stylesheet (a browser without XSLT).
export async function open(page, name) {
  await page.goto(base + name);
  const root = await page.evaluate(() => document.documentElement.nodeName.toUpperCase());
  if (root !== 'HTML') {
    console.log(`SKIP: this browser shows ${name} as XML (root ${root}): it has no XSLT`);
    process.exit(77);
  }
}

// A new page whose script errors and unexpected alerts are collected in `errors`.
export async function watchedPage(context) {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', e => errors.push(e.message));
  page.on('dialog', d => {
    if (page.listenerCount('dialog') > 1) return;  // a script's own handler answers it
    errors.push('dialog: ' + d.message());
    d.dismiss();
  });
  return { page, errors };
}

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
  await page.fill('#user', user);
  await page.fill('#pass', password);
  await Promise.all([page.waitForNavigation(), page.click('button[type=submit]')]);
}

// How many times the server answered a page with 200 so far (its request log).
export const answers = async name =>
  (await control('log')).split('\n').filter(line => line.endsWith(` /${name} 200`)).length;

export const valueOf = name => control('value?name=' + encodeURIComponent(name));
export const setValue = (name, value) =>
  control('value', 'name=' + encodeURIComponent(name) + '&value=' + encodeURIComponent(value));

// Polls until check() answers true (or a text equal to `expected`), at most `ms`.
export async function waitUntil(what, check, ms = 5000) {
  const end = Date.now() + ms;
  let last;
  while (Date.now() < end) {
    last = await check();
    if (last === true) return true;
    await new Promise(r => setTimeout(r, 100));
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
    console.log(failures.map(f => 'FAILED: ' + f).join('\n'));
    process.exit(1);
  }
  console.log('all checks held');
  process.exit(0);
}

// Runs the script's body, reporting an exception as a failure.
export async function run(body) {
  const { browser, context } = await launch();
  try {
    await body(context);
  } catch (e) {
    failures.push('exception: ' + (e && e.stack ? e.stack : e));
  }
  await finish(browser);
}
