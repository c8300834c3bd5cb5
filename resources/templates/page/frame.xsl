<!-- The page's frame in the page template: the page area with its form, and
     the style of proportional edit fields. -->
<parts>
<part name="area">
	<div style="%%style%%"></div>
</part>
<part name="form-script">
	<form action="javascript:PostGlobal();"></form>
</part>
<part name="form-post">
	<form method="post" action="%%action%%"></form>
</part>
<part name="mono-style">
	<style type="text/css">.mono {font-family: Verdana, Arial, FreeSans, sans-serif;}</style>
</part>
</parts>
