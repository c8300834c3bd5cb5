// The demo's pages in the browser: the start page renders through its
// stylesheet with the PLC's values, a value changed in the PLC's memory shows
// within one refresh period, and every page is pictured into a PNG.
import { run, watchedPage, open, waitUntil, expect, valueOf, setValue, pictures, inputValue, pause } from './lib.mjs';

const kPages = ['INDEX', 'OVERVIEW', 'SETTINGS', 'DIAG', 'CANVAS', 'LOGIN', 'LOGOUT'];

await run(async context => {
  const { page, errors } = await watchedPage(context);
  await open(page, 'INDEX.XML');
  expect('title', (await page.title()).trim(), 'Overview');
  // The tank level (an edit, read-only) and the flow (one decimal) as the PLC holds them.
  const level = await valueOf('TankLevel');
  expect('tank level shown', await inputValue(page, '#INPUT5'), level);
  // A new value in memory shows within the page's refresh period (1 s) and the next answer.
  await setValue('TankLevel', '321');
  await waitUntil('the new tank level on the page', async () => (await inputValue(page, '#INPUT5')) === '321' || await inputValue(page, '#INPUT5'), 4000);
  // The station-state block takes its colour from the PLC's colour word
  // (0x3CAA28, blue-green-red: a green).
  const stateColour = () => page.evaluate(() => document.querySelector('div[title^="Green: in operation"]').style.backgroundColor);
  await waitUntil('the station state coloured', async () => (await stateColour()) === 'rgb(40, 170, 60)' || await stateColour(), 4000);
  // A pump's picture follows its bit.
  await setValue('P2Running', '1');
  await waitUntil('pump 2 shown running', async () =>
    (await page.evaluate(() => document.getElementById('INPUT7').style.backgroundImage)).includes('pump_on.png') ||
    await page.evaluate(() => document.getElementById('INPUT7').style.backgroundImage), 4000);
  for (const name of kPages) {
    await open(page, name + '.XML');
    await pause(600);  // the first answer of the page's script
    await page.screenshot({ path: `${pictures}/demo-${name}.png` });
  }
  expect('script errors and alerts', errors.join('; '), '');
});
