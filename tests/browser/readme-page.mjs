// The README's picture of the demo's page "Overview" in chromium: the operator
// logs in, the page shows the PLC's preset tank level and station state, and its top 960 x 400
// pixels go into the picture.
//   node readme-page.mjs URL PICTURE
import { run, newPage, login, inputValue, waitUntil, expect, pictures } from './lib.mjs';

await run(async context => {
  const page = await newPage(context);
  await page.setViewport({ width: 960, height: 400 });
  await login(page, 'operator', 'sump2026');
  expect('the operator lands on', new URL(page.url()).pathname, '/OVERVIEW.XML');
  await waitUntil('the preset tank level shown', async () => (await inputValue(page, '#INPUT5')) === '182', 10000);
  await waitUntil('the station state green', async () =>
    (await page.evaluate(() => document.getElementById('INPUT3').style.backgroundColor)) === 'rgb(40, 170, 60)', 10000);
  await page.screenshot({ path: pictures });
});
