// An alarm of the demo (a copy whose web project makes HighLevel show the
// page DIAG.XML) in the browser: a page jumps to the alarm page while the alarm
// variable is set, and the alarm page goes back to the page before it when
// the variable is cleared.
import { run, watchedPage, open, waitUntil, expect, setValue, loaded, pause } from './lib.mjs';

const path = page => new URL(page.url()).pathname;

await run(async context => {
  const { page, errors } = await watchedPage(context);
  await setValue('HighLevel', '0');
  await open(page, 'OVERVIEW.XML');
  await pause(1500);  // two answers without an alarm: the page stays
  expect('without an alarm the page stays', path(page), '/OVERVIEW.XML');
  await setValue('HighLevel', '1');
  await waitUntil('the alarm page shown', async () => path(page) === '/DIAG.XML' || path(page), 5000);
  await loaded(page);
  await pause(1500);  // the alarm page stays while the alarm lasts
  expect('the alarm page stays while the alarm lasts', path(page), '/DIAG.XML');
  await setValue('HighLevel', '0');
  await waitUntil('back on the page before the alarm', async () => path(page) === '/OVERVIEW.XML' || path(page), 5000);
  expect('script errors and alerts', errors.join('; '), '');
});
