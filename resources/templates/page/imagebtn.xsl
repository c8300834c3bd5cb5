<!-- Image button: a red-framed placeholder for an unknown variable; the live
     button that posts its value, and the inert picture for users below the
     button's level. -->
<parts>
<part name="missing">
	<div title="%%hint?%%" id="%%id?%%" style="%%style%%"></div>
</part>
<part name="live">
	<div style="%%position%%">
		<div onclick="PostXML%%element%%()" title="%%hint?%%" id="INPUT%%element%%" class="imgsub" style="%%style%%">%%caption%%</div>
	</div>
</part>
<part name="inert">
	<div title="%%hint?%%" id="INPUT%%element%%" style="%%style%%">%%caption%%</div>
</part>
</parts>
