// An alarm of the demo (a copy whose web project makes HighLevel show the
// page DIAG.XML) in the browser: a page jumps to the alarm page while the alarm
// variable is set, and the alarm page goes back to the page before it when
// the variable is cleared.
import { run, watchedPage, open, login, answers, waitUntil, expect, setValue, loaded } from './lib.mjs';

const path = page => new URL(page.url()).pathname;
// Waits until the server answered the page `count` more times.
async function moreAnswers(name, count) {
  const seen = await answers(name);
  await waitUntil(`${count} answers of ${name}`, async () => (await answers(name)) >= seen + count, 5000);
}

await run(async context => {
  const { page, errors } = await watchedPage(context);
  await setValue('HighLevel', '0');
  await login(page, 'admin', 'Station#9');  // the alarm page is a service page
  await open(page, 'OVERVIEW.XML');
  await moreAnswers('OVERVIEW.XML', 2);  // two answers without an alarm: the page stays
  expect('without an alarm the page stays', path(page), '/OVERVIEW.XML');
  await setValue('HighLevel', '1');
  await waitUntil('the alarm page shown', async () => path(page) === '/DIAG.XML' || path(page), 5000);
  await loaded(page);
  await moreAnswers('DIAG.XML', 2);  // the alarm page stays while the alarm lasts
  expect('the alarm page stays while the alarm lasts', path(page), '/DIAG.XML');
  await setValue('HighLevel', '0');
  await waitUntil('back on the page before the alarm', async () => path(page) === '/OVERVIEW.XML' || path(page), 5000);
  expect('script errors and alerts', errors.join('; '), '');
});
